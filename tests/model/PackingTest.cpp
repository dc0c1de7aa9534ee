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
    std::vector<std::string> Keys(int i) {
        std::vector<std::string> k;
        for (const auto& e : Subs(i)) k.push_back(e.key);
        return k;
    }
};

TEST_F(PackingTest, UnpackThenPackGivesTheSameBytes) {
    for (int i = 0; i <= file->LastIndex(); ++i) {
        const Bytes before = file->Records()[i].Data.ToBytes();
        const std::int32_t size = file->Records()[i].Size;
        file->UnPackRecord(i);
        EXPECT_FALSE(file->Records()[i].Packed);
        for (const auto& e : Subs(i)) EXPECT_TRUE(file->UnpackSubRecord(i, e.key));
        file->PackRecord(i);
        EXPECT_EQ(file->Records()[i].Data.ToBytes(), before) << i;
        EXPECT_EQ(file->Records()[i].Size, size);
        EXPECT_FALSE(file->Records()[i].SubRecords);
    }
}

TEST_F(PackingTest, RepeatedNamesTakeTheSubrecordCounter) {
    file->UnPackRecord("NPC_1");
    EXPECT_EQ(Keys(1), (std::vector<std::string>{"NAME", "NPDT", "NPCO", "XSCL", "NPCO4", "AIDT", "XSCL6"}));
    file->UnPackRecord("CELL2");
    EXPECT_EQ(Keys(2), (std::vector<std::string>{"NAME", "DATA", "FRMR", "NAME3", "DATA4"}));
}

TEST_F(PackingTest, TemplateSubrecordTypesAndGroups) {
    file->UnPackRecord(1);
    EXPECT_EQ(Subs(1).Item("NPDT").Name, "NPDT_12");
    EXPECT_EQ(Subs(1).Item("NPCO").GroupNumber, 1);
    EXPECT_EQ(Subs(1).Item("NPCO").GroupLabel, "Inventory");
    EXPECT_EQ(Subs(1).Item("XSCL").GroupNumber, 1) << "a subrecord after a group start stays in it";
    EXPECT_EQ(Subs(1).Item("NPCO4").GroupNumber, 2);
    EXPECT_EQ(Subs(1).Item("AIDT").GroupNumber, 0) << "MAINRECORD";
    EXPECT_EQ(Subs(1).Item("AIDT").GroupLabel, "");
    EXPECT_EQ(Subs(1).Item("XSCL6").GroupNumber, 2);
    EXPECT_EQ(file->Records()[1].GroupCount, 2);

    file->UnPackRecord(2);
    EXPECT_EQ(Subs(2).Item("NAME").Name, "NAME");
    EXPECT_EQ(Subs(2).Item("NAME3").Name, "NAME_NEXT");
    EXPECT_EQ(Subs(2).Item("DATA").Name, "DATA");
    EXPECT_EQ(Subs(2).Item("DATA4").Name, "DATA_24");
    EXPECT_EQ(Subs(2).Item("FRMR").Requirement, 1);
    EXPECT_EQ(Subs(2).Item("NAME3").GroupNumber, 2);
}

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

TEST_F(PackingTest, EmptyRecordPacksToSizeZero) {
    file->UnPackRecord(3);
    EXPECT_EQ(Subs(3).Count(), 0u);
    file->PackRecord(3);
    EXPECT_EQ(file->Records()[3].Size, 0);
    EXPECT_TRUE(file->Records()[3].Data.empty());
}

TEST_F(PackingTest, EditedPropertiesAreEncodedOnPack) {
    file->UnPackRecord(1);
    ASSERT_TRUE(file->UnpackSubRecord(1, "XSCL"));
    Subs(1).Item("XSCL").Properties.Item("Scale").SetValue(3.0);
    file->PackRecord(1);
    file->UnPackRecord(1);
    ASSERT_TRUE(file->UnpackSubRecord(1, "XSCL"));
    EXPECT_EQ(Subs(1).Item("XSCL").Properties.Item("Scale").Real(), 3.0);
}

TEST_F(PackingTest, SubHeadersReadOneSubrecordWithoutUnpacking) {
    file->UnPackSubHeaders("CELL2", "NAME", 4);
    const RecordEntry& r = file->Records()[2];
    EXPECT_TRUE(r.Packed);
    ASSERT_EQ(r.SubHeaders->Count(), 1u);
    EXPECT_EQ(r.SubHeaders->KeyAt(1), "NAME3");
    EXPECT_EQ(r.SubHeaders->Item(1).Name, "NAME_NEXT");
    EXPECT_EQ(r.SubHeaders->Item(1).Size, 6);
    file->UnPackSubHeaders("CELL2", "NAME", 1);
    EXPECT_EQ(r.SubHeaders->KeyAt(1), "NAME");
    EXPECT_EQ(r.SubHeaders->Item(1).Name, "NAME");
    file->PackSubHeaders("CELL2");
    EXPECT_FALSE(file->Records()[2].SubHeaders);
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
    file->UnPackRecord(1);
    ASSERT_TRUE(file->UnpackSubRecord(1, "NAME"));
    Subs(1).Item("NAME").Properties.Item("ID").SetValue(std::string("captain"));
    EXPECT_EQ(file->GetID(1), "captain");
    EXPECT_EQ(file->Records()[1].PreviousID, "guard");
    file->ClearSubrecordLookup(1, "NAME");
    EXPECT_EQ(file->GetID(1), "");
}

} // namespace
} // namespace vellum::test
