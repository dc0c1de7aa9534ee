#include "IntegrityFixture.h"

#include "index/Marks.h"
#include "model/esfile.h"

#include <gtest/gtest.h>

using namespace vellum;
using namespace vellum::test;

namespace {

// The destination: its own npc_a (other contents) and an item.
Bytes OtherFile() {
    return Concat({
        HeaderRecord(3),
        RecordBytes("MISC", {{"NAME", Text("pick")}}),
        RecordBytes("NPC_", {{"NAME", Text("npc_a")}, {"ANAM", Text("")}, {"SCRI", Text("")}, {"NPCO", Npco(9, "pick")}}),
        RecordBytes("MISC", {{"NAME", Text("rope")}}),
    });
}

struct Transfer : IntegrityTest {
    std::string a = Open(SampleFile(), "a.esp");
    std::string b = Open(OtherFile(), "b.esp");
    std::string clip{esFiles::kClipboardKey};

    // Marks the records (a subrecord of the last one, when given) and copies them from `a`, to the
    // clipboard by default.
    void Copy(const std::vector<std::string>& recordKeys, const std::string& sub = {}, bool replace = true,
              std::string_view to = esFiles::kClipboardKey) {
        for (std::size_t i = 0; i < recordKeys.size(); ++i)
            MarkForCopy(File(a), recordKeys[i], i + 1 == recordKeys.size() ? sub : std::string());
        files->CopyMarked(a, std::string(to), false, nullptr, replace, false, {}, -1);
    }
    Bytes DataOf(const std::string& key, int index) {
        esfile& f = File(key);
        f.PackRecord(index);
        return f.Records()[static_cast<std::size_t>(index)].Data.ToBytes();
    }
    std::vector<std::string> IDs(const std::string& key) {
        std::vector<std::string> ids;
        for (const RecordEntry& r : File(key).Records()) ids.push_back(r.ID);
        return ids;
    }
};

} // namespace

TEST(Transfer, PasteReplaceKeepsThePositionOfAnExistingIDAndAddsNewOnes) {
    Transfer t;
    t.Copy({"NPC_5", "NPC_6"});
    const Bytes source = t.DataOf(t.a, 5);
    t.files->Paste(t.b, PasteMode::Replace, nullptr);
    esfile& b = t.File(t.b);
    EXPECT_EQ(t.IDs(t.b), (std::vector<std::string>{"", "pick", "npc_a", "rope", "npc_b"}));
    EXPECT_EQ(t.DataOf(t.b, 2), source) << "npc_a keeps position 2 and takes the copied contents";
    ExpectIndexesAgree(b);

    std::string reopened = t.SaveAndReopen(t.b, "b2.esp");
    EXPECT_EQ(t.IDs(reopened), (std::vector<std::string>{"", "pick", "npc_a", "npc_b", "rope"}))
        << "saved in the file's order, the new record after the last of its type";
    EXPECT_EQ(t.DataOf(reopened, t.IndexOfID(reopened, "npc_a")), source);
    EXPECT_TRUE(t.prompt.calls.empty()) << t.prompt.calls[0].text;
}

TEST(Transfer, PasteMergeAddsAllButTheSubrecordsARecordHoldsOnce) {
    Transfer t;
    t.Copy({"NPC_5"});
    t.files->Paste(t.b, PasteMode::Merge, nullptr);
    EXPECT_EQ(SubrecordNames(t.File(t.b), 2),
              (std::vector<std::string>{"NAME", "ANAM", "SCRI", "NPCO", "NPCO", "NPCO", "NPCS"}))
        << "NAME, ANAM and SCRI are required or unique: the destination keeps its own";
    std::string reopened = t.SaveAndReopen(t.b, "b2.esp");
    EXPECT_EQ(SubrecordNames(t.File(reopened), t.IndexOfID(reopened, "npc_a")).size(), 7u);
    EXPECT_EQ(t.IDs(reopened).size(), 4u) << "a merge adds no record";
}

TEST(Transfer, PasteIntoTheSelectedRecordHonoursTheMergeType) {
    Transfer t;
    t.Copy({"MISC3", "NPC_6"});

    t.files->Paste(t.b, PasteMode::Into, nullptr, "NPC_2", 1);
    EXPECT_EQ(SubrecordNames(t.File(t.b), 2), (std::vector<std::string>{"NAME", "ANAM", "SCRI", "NPCO", "NPCO"}))
        << "same type only: npc_b's NPCO goes in, its required and unique ones stay out, gold is skipped";

    t.files->Paste(t.b, PasteMode::Into, nullptr, "MISC3", 0);
    EXPECT_EQ(SubrecordNames(t.File(t.b), 3), (std::vector<std::string>{"NAME", "ANAM", "NPCO"}))
        << "every clipboard record; the exclusions follow the selected record's type";
    EXPECT_EQ(t.IDs(t.b).size(), 4u);
}

TEST(Transfer, PartialRecordsBringTheirRequiredSubrecords) {
    Transfer t;
    t.Copy({"NPC_5"}, "NPCS");
    ASSERT_EQ(t.IDs(t.clip), (std::vector<std::string>{"", "npc_a"}));
    EXPECT_EQ(SubrecordNames(t.File(t.clip), 1), (std::vector<std::string>{"NAME", "ANAM", "SCRI", "NPCS"}));

    // The same subrecord into a record that exists: added there.
    t.files->Paste(t.b, PasteMode::Replace, nullptr);
    EXPECT_EQ(t.IDs(t.b).size(), 4u);

    Transfer u;
    MarkForCopy(u.File(u.a), "NPC_5", "NPCS");
    u.Copy({"NPC_5"}, "SCRI", false, u.b);
    EXPECT_EQ(SubrecordNames(u.File(u.b), 2), (std::vector<std::string>{"NAME", "ANAM", "SCRI", "NPCO", "NPCS"}))
        << "a subrecord held once replaces the destination's, others are added";
    EXPECT_EQ(Decoded(u.File(u.b), 2, "SCRI").Item(1).Text(), "SCR_A");
}

TEST(Transfer, ParentsBringTheirChildren) {
    Transfer t;
    t.Copy({"DIAL7"});
    EXPECT_EQ(t.IDs(t.clip), (std::vector<std::string>{"", "topic", "i1", "i2"}));
    esfile& clip = t.File(t.clip);
    EXPECT_EQ(clip.Records()[2].ParentKey, clip.Records()[1].Key);
    EXPECT_EQ(clip.Records()[1].Children.size(), 2u);

    t.files->Paste(t.b, PasteMode::Replace, nullptr);
    std::string reopened = t.SaveAndReopen(t.b, "b2.esp");
    EXPECT_EQ(t.IDs(reopened), (std::vector<std::string>{"", "pick", "npc_a", "rope", "topic", "i1", "i2"}));
    EXPECT_EQ(t.File(reopened).Records()[5].ParentKey, t.File(reopened).Records()[4].Key);
}

TEST(Transfer, RecordTypeWithoutTemplateGroupIsCarriedAsRawData) {
    Transfer t;
    std::string odd = t.Open(Concat({HeaderRecord(1), RecordBytes("XXXX", {{"ABCD", Text("raw")}})}), "odd.esp");
    MarkForCopy(t.File(odd), 1);
    t.files->CopyMarked(odd, t.clip, false, nullptr, true, false, {}, -1);
    t.files->Paste(t.b, PasteMode::Merge, nullptr);
    ASSERT_EQ(t.File(t.b).Records().size(), 5u);
    EXPECT_EQ(t.File(t.b).Records()[4].Name, "XXXX");
    EXPECT_EQ(t.DataOf(t.b, 4), t.DataOf(odd, 1));
    std::string reopened = t.SaveAndReopen(t.b, "b2.esp");
    EXPECT_EQ(t.File(reopened).Records().size(), 5u);
}

TEST(Transfer, PasteAfterADeleteFindsAFreeRecordKey) {
    Transfer t;
    // Deleting closes the gap but keys keep their text: INFO9 now sits at position 8.
    MarkAsDeleted(t.File(t.a), "MISC3");
    t.files->DeleteMarked(t.a, nullptr);
    ASSERT_EQ(t.File(t.a).Records()[8].Key, "INFO9");
    t.Copy({"INFO9"});
    esfile& clip = t.File(t.clip);
    ASSERT_EQ(t.IDs(t.clip), (std::vector<std::string>{"", "topic", "i2"})) << "a response keeps its topic";
    clip.Records()[2].ID = "i3"; // a new ID, so the paste adds a record
    clip.esRecArrayCatIndex().Item("INFO")->esRecIDIndex.ChangeID("i2", "i3");
    t.files->Paste(t.a, PasteMode::Replace, nullptr);
    esfile& a = t.File(t.a);
    ASSERT_EQ(a.Records().size(), 10u);
    EXPECT_NE(a.Records()[9].Key, "INFO9");
    EXPECT_EQ(a.Records()[9].Key.substr(0, 4), "INFO");
    ExpectIndexesAgree(a);
}
