#include "IntegrityFixture.h"

#include "index/HistoryScope.h"
#include "index/Marks.h"
#include "model/esfile.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

using namespace vellum;
using namespace vellum::test;

namespace {

const char* Word(RecordChange c) {
    return c == RecordChange::Added ? "added" : c == RecordChange::Changed ? "changed" : "unchanged";
}

// What the file's own marks say, keyed as RawChanges keys records.
RawChangeList ModelChanges(const esfile& f, const std::map<std::string, std::string>& renamed) {
    RawChangeList out;
    ChangeKeys keys;
    for (std::size_t i = 0; i < f.Records().size(); ++i) {
        const RecordEntry& r = f.Records()[i];
        auto it = renamed.find(r.ID);
        out.records[keys.Next(r.Name, it == renamed.end() ? r.ID : it->second)] = Word(f.ChangeOf(static_cast<int>(i)));
    }
    for (const auto& d : f.DeletedSinceLoad()) out.deleted[d.Type] = f.DeletedSinceLoad(d.Type);
    return out;
}

struct Changes : IntegrityTest {
    const Bytes sample = SampleFile();
    // Its "gold" differs from the sample's and lies elsewhere.
    const Bytes small = Concat({HeaderRecord(2), RecordBytes("MISC", {{"NAME", Text("other")}}),
                                RecordBytes("MISC", {{"NAME", Text("gold")}, {"SCRI", Text("scr_b")}})});
    std::string a = Open(sample, "a.esp");
    std::string b = Open(sample, "b.esp");
    std::string c = Open(small, "c.esp");
    UndoHistory& history = files->History();
    std::map<std::string, std::string> renamed;

    const Bytes& Loaded(const std::string& key) const { return key == c ? small : sample; }
    // Saves every file where it was loaded from, then lists "<file> <TYPE id#n> <state>" for
    // each record the bytes say is not unchanged (and "<file> <TYPE> deleted <n>"); the
    // file's marks must say the same of every record.
    std::vector<std::string> SaveAndCompare() {
        std::vector<std::string> out;
        for (const std::string& key : {a, b, c}) {
            esfile& f = File(key);
            EXPECT_TRUE(f.Save());
            const RawChangeList raw = RawChanges(Loaded(key), ReadBytes(key), renamed);
            const RawChangeList marked = ModelChanges(f, renamed);
            EXPECT_EQ(marked.records, raw.records) << key;
            EXPECT_EQ(marked.deleted, raw.deleted) << key;
            const std::string name = std::filesystem::path(key).filename().string();
            for (const auto& [k, v] : raw.records)
                if (v != "unchanged") out.push_back(name + " " + k + " " + v);
            for (const auto& [type, n] : raw.deleted) out.push_back(name + " " + type + " deleted " + std::to_string(n));
        }
        return out;
    }
};

} // namespace

// Each kind of change marks what a reader of the saved bytes finds changed, added or gone since
// the load, a save keeps the marks, and undo takes them back.
TEST(RecordChange, MarksMatchTheBytesAndFollowUndo) {
    const struct {
        const char* name;
        std::function<void(Changes&)> command;
        std::vector<std::string> changes;
    } cases[] = {
        {"form edit, left unpacked",
         [](Changes& t) {
             HistoryScope step(t.history, "Edit", {t.a});
             Decoded(t.File(t.a), t.IndexOfID(t.a, "npc_b"), "NPCO").Item("Count").SetValue(std::int64_t{9});
             t.File(t.a).Changed = true;
         },
         {"a.esp NPC_ npc_b#0 changed"}},
        {"raw byte edit",
         [](Changes& t) {
             HistoryScope step(t.history, "Edit Bytes", {t.a});
             t.File(t.a).SetRecordByte(t.IndexOfID(t.a, "gold"), 20, 'x');
         },
         {"a.esp MISC gold#0 changed"}},
        {"record flags",
         [](Changes& t) {
             HistoryScope step(t.history, "Flags", {t.a});
             t.File(t.a).Rec(t.KeyOf(t.a, "spl")).Flags = 0x400;
         },
         {"a.esp SPEL spl#0 changed"}},
        {"insert", [](Changes& t) { HistoryScope step(t.history, "Insert", {t.a}); t.File(t.a).AddRecord("MISC"); },
         {"a.esp MISC #0 added", "a.esp TES3 #0 changed"}},
        {"paste of records the file lacks",
         [](Changes& t) {
             t.Relatives(t.a, "spl", kOpCopy);
             t.files->Paste(t.c, PasteMode::Replace, nullptr);
         },
         {"c.esp SPEL spl#0 added", "c.esp TES3 #0 changed"}},
        {"paste over a record the file holds",
         [](Changes& t) {
             t.Relatives(t.c, "gold", kOpCopy);
             t.files->Paste(t.a, PasteMode::Replace, nullptr);
         },
         {"a.esp MISC gold#0 changed"}},
        {"delete of marked records",
         [](Changes& t) {
             MarkAsDeleted(t.File(t.a), t.KeyOf(t.a, "npc_a"));
             MarkAsDeleted(t.File(t.a), t.KeyOf(t.a, "gold"));
             t.files->DeleteMarked(t.a, nullptr);
         },
         {"a.esp TES3 #0 changed", "a.esp MISC deleted 1", "a.esp NPC_ deleted 1"}},
        {"cut with descendants", [](Changes& t) { t.Relatives(t.a, "npc_b", kOpCut); },
         {"a.esp TES3 #0 changed", "a.esp INFO deleted 1", "a.esp NPC_ deleted 1"}},
        {"ID change with references repaired in every file",
         [](Changes& t) {
             t.renamed = {{"coin", "gold"}};
             HistoryScope step(t.history, "Change ID");
             ASSERT_TRUE(t.Rename(t.a, t.IndexOfID(t.a, "gold"), "coin", true));
         },
         {"a.esp MISC gold#0 changed", "a.esp NPC_ npc_a#0 changed", "a.esp NPC_ npc_b#0 changed",
          "b.esp NPC_ npc_a#0 changed", "b.esp NPC_ npc_b#0 changed"}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        Changes t;
        k.command(t);
        EXPECT_EQ(t.SaveAndCompare(), k.changes);
        EXPECT_EQ(t.SaveAndCompare(), k.changes) << "a second save keeps the marks";
        while (t.history.CanUndo()) t.history.Undo();
        t.renamed.clear();
        EXPECT_EQ(t.SaveAndCompare(), std::vector<std::string>{}) << "undone";
        t.history.Redo();
    }
}
