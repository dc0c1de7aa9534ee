#include "ModelFixture.h"

#include "model/ByteCast.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

class PackingTest : public ModelTest, public ::testing::Test {
protected:
    void SetUp() override {
        Bytes npc = RecordBytes("NPC_", {{"NAME", Text("guard")},
                                         {"NPDT", Bytes(12, 7)},
                                         {"NPCO", Concat({Int32(2), Bytes(32, 'a')})},
                                         {"XSCL", cast::FromSingle(1.5f)},
                                         {"NPCO", Concat({Int32(1), Bytes(32, 'b')})},
                                         {"AIDT", Bytes(12, 1)},
                                         {"XSCL", cast::FromSingle(2.0f)}});
        Bytes cell = RecordBytes("CELL", {{"NAME", Text("Balmora")},
                                          {"DATA", Concat({Int32(1), Int32(0), Int32(0)})},
                                          {"FRMR", Int32(1)},
                                          {"NAME", Text("chair")},
                                          {"DATA", Bytes(24, 0)}});
        Bytes empty = RecordBytes("GMST", {});
        ASSERT_EQ(Load(Concat({HeaderRecord(3), npc, cell, empty})), 0);
    }
    Subrecords& Subs(int i) { return *file->Records()[static_cast<std::size_t>(i)].SubRecords; }
};

// Every record, the empty one too, packs back to its bytes and size.
TEST_F(PackingTest, UnpackThenPackGivesTheSameBytes) {
    for (int i = 0; i <= file->LastIndex(); ++i) {
        const Bytes before = file->Records()[i].Data.ToBytes();
        const std::int32_t size = file->Records()[i].Size;
        for (const std::string& key : SubrecordKeys(*file, i)) EXPECT_TRUE(file->UnpackSubRecord(i, key));
        EXPECT_FALSE(file->Records()[i].Packed);
        file->PackRecord(i);
        EXPECT_EQ(file->Records()[i].Data.ToBytes(), before) << i;
        EXPECT_EQ(file->Records()[i].Size, size);
        EXPECT_FALSE(file->Records()[i].SubRecords);
    }
}

// Repeated names take the subrecord counter; the template names the type and the groups.
TEST_F(PackingTest, KeysTemplateTypesAndGroups) {
    EXPECT_EQ(SubrecordKeys(*file, 1),
              (std::vector<std::string>{"NAME", "NPDT", "NPCO", "XSCL", "NPCO4", "AIDT", "XSCL6"}));
    EXPECT_EQ(SubrecordKeys(*file, 2), (std::vector<std::string>{"NAME", "DATA", "FRMR", "NAME3", "DATA4"}));
    const struct {
        int record;
        const char* key;
        const char* type;
        int group;
        const char* label;
    } cases[] = {
        {1, "NPDT", "NPDT_12", 0, ""},
        {1, "NPCO", "NPCO", 1, "Inventory"},
        {1, "XSCL", "XSCL", 1, "Inventory"}, // a subrecord after a group start stays in it
        {1, "NPCO4", "NPCO", 2, "Inventory"},
        {1, "AIDT", "AIDT", 0, ""}, // MAINRECORD
        {1, "XSCL6", "XSCL", 2, "Inventory"},
        {2, "NAME", "NAME", 0, ""},
        {2, "DATA", "DATA", 0, ""},
        {2, "FRMR", "FRMR", 1, "Reference"},
        {2, "NAME3", "NAME_NEXT", 2, "Reference"},
        {2, "DATA4", "DATA_24", 2, "Reference"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        const Subrecord& sub = Subs(c.record).Item(c.key);
        EXPECT_EQ(sub.Name, c.type);
        EXPECT_EQ(sub.GroupNumber, c.group);
        EXPECT_EQ(sub.GroupLabel, c.label);
    }
    EXPECT_EQ(file->Records()[1].GroupCount, 2);
    EXPECT_EQ(Subs(2).Item("FRMR").Requirement, 1);
}

// As "vellum-cli check" reads: the subrecords listed, the bytes kept as they are.
TEST_F(PackingTest, KeepPackedFillsSubrecordsAndKeepsData) {
    const Bytes before = file->Records()[1].Data.ToBytes();
    file->UnPackRecord(1, true);
    EXPECT_TRUE(file->Records()[1].Packed);
    EXPECT_EQ(file->Records()[1].Data.ToBytes(), before);
    EXPECT_EQ(Subs(1).Count(), 7u);
    file->UnPackRecord(1); // packed still: unpacks for real
    EXPECT_FALSE(file->Records()[1].Packed);
    auto subs = file->Records()[1].SubRecords;
    file->UnPackRecord(1);
    EXPECT_EQ(file->Records()[1].SubRecords, subs) << "unpacking an unpacked record changes nothing";
}

TEST_F(PackingTest, SubrecordRunningPastTheRecordKeepsWhatIsThere) {
    Bytes bad = Gmst("x");
    cast::StoreU32(bad.data() + 16 + 4, 100); // NAME claims 100 bytes, the record holds 2
    file->SetRecordBytes(3, Bytes(bad.begin() + 16, bad.end()));
    file->UnPackRecord(3);
    EXPECT_EQ(prompt.calls.size(), 1u);
    EXPECT_EQ(Subs(3).Item("NAME").Size, 2);
    file->PackRecord(3);
    EXPECT_EQ(file->Records()[3].Size, 10);
}

TEST_F(PackingTest, AddSubrecordAndAddRecordFollowTheTemplate) {
    const int i = file->AddRecord("GMST");
    EXPECT_EQ(file->Records()[static_cast<std::size_t>(i)].Key, "GMST" + std::to_string(i));
    EXPECT_TRUE(Subs(i).Exists("NAME1")) << "REQUIREMENT 2 subrecords come with a new record";
    EXPECT_EQ(file->AddRecord("TES3"), 0) << "a unique record type gets no second record";
    file->UnPackRecord(0);
    EXPECT_EQ(file->AddSubrecord(0, "HEDR"), "@NOTUNIQUE");
    file->UnPackRecord(2);
    EXPECT_EQ(file->AddSubrecord(2, "FRMR"), "FRMR6");
    EXPECT_EQ(Subs(2).Item("FRMR6").GroupNumber, 3) << "a required group start opens a new group";
    EXPECT_EQ(Subs(2).Item("FRMR6").Size, 4);
}

TEST_F(PackingTest, GetIdOfUnpackedRecordMatchesPacked) {
    EXPECT_EQ(file->GetID(1), "guard");
    Decoded(*file, 1, "NAME").Item("ID").SetValue(std::string("captain"));
    EXPECT_EQ(file->GetID(1), "captain");
    EXPECT_EQ(file->Records()[1].PreviousID, "guard");
    file->ClearSubrecordLookup(1, "NAME");
    EXPECT_EQ(file->GetID(1), "");
}

class PluginRoundTrip : public ModelTest, public ::testing::TestWithParam<std::filesystem::path> {};

// Saving is checked over the shared files with the shipped template in ShippedTemplateCliTest.
TEST_P(PluginRoundTrip, UnpackDecodeAndPackGiveBackEveryRecord) {
    auto f = NewFile();
    ASSERT_EQ(f->LoadFile(GetParam().string(), true, false, nullptr), 0);
    std::vector<Bytes> before;
    for (const RecordEntry& r : f->Records()) before.push_back(r.Data.ToBytes());
    UnpackAndDecodeAll(*f);
    for (std::size_t i = 0; i < before.size(); ++i)
        ASSERT_EQ(f->Records()[i].Data.ToBytes(), before[i]) << f->Records()[i].Key;
}

INSTANTIATE_TEST_SUITE_P(Shared, PluginRoundTrip, ::testing::ValuesIn(SharedPlugins()), PluginTestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(PluginRoundTrip);

} // namespace
} // namespace vellum::test
