#include "IntegrityFixture.h"

#include "index/HistoryScope.h"
#include "index/Marks.h"
#include "model/esfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

using namespace vellum;
using namespace vellum::test;

namespace {

const char* Word(RecordChange c) {
    return c == RecordChange::Added ? "added" : c == RecordChange::Changed ? "changed" : "unchanged";
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// "TYPE id#n" -> state, and "TYPE deleted" -> count: what a reader of the bytes alone sees
// between the file as loaded and as saved, records matched by type, ID and rank among records
// of that ID. `renamed` maps a changed ID back to the loaded one.
std::map<std::string, std::string> RawChanges(const Bytes& loaded, const Bytes& saved,
                                              const std::map<std::string, std::string>& renamed) {
    auto keyed = [](const Bytes& file, const std::map<std::string, std::string>& ids) {
        std::map<std::string, ByteSpan> out;
        std::map<std::string, int> seen;
        for (const RawRecord& r : RawRecords(file)) {
            std::string id = Lower(RawID(r));
            if (auto it = ids.find(id); it != ids.end()) id = it->second;
            const std::string base = r.type + " " + id;
            out[base + "#" + std::to_string(seen[base]++)] = r.whole;
        }
        return out;
    };
    const auto before = keyed(loaded, {}), after = keyed(saved, renamed);
    std::map<std::string, std::string> out;
    for (const auto& [key, bytes] : after) {
        const auto it = before.find(key);
        out[key] = it == before.end() ? "added"
                   : std::equal(bytes.begin(), bytes.end(), it->second.begin(), it->second.end()) ? "unchanged"
                                                                                                 : "changed";
    }
    std::map<std::string, int> gone;
    for (const auto& [key, bytes] : before)
        if (!after.count(key)) ++gone[key.substr(0, 4)];
    for (const auto& [type, n] : gone) out[type + " deleted"] = std::to_string(n);
    return out;
}

// The same from the file's own marks.
std::map<std::string, std::string> ModelChanges(const esfile& f, const std::map<std::string, std::string>& renamed) {
    std::map<std::string, std::string> out;
    std::map<std::string, int> seen;
    const auto& records = f.Records();
    for (std::size_t i = 0; i < records.size(); ++i) {
        std::string id = records[i].Name == "TES3" ? "" : Lower(records[i].ID);
        if (auto it = renamed.find(id); it != renamed.end()) id = it->second;
        const std::string base = records[i].Name + " " + id;
        out[base + "#" + std::to_string(seen[base]++)] = Word(f.ChangeOf(static_cast<int>(i)));
    }
    for (const auto& d : f.DeletedSinceLoad()) out[d.Type + " deleted"] = std::to_string(f.DeletedSinceLoad(d.Type));
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
            const auto raw = RawChanges(Loaded(key), ReadBytes(key), renamed);
            EXPECT_EQ(ModelChanges(f, renamed), raw) << key;
            for (const auto& [k, v] : raw)
                if (v != "unchanged") out.push_back(std::filesystem::path(key).filename().string() + " " + k + " " + v);
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
             t.File(t.a).Rec(t.KeyOfID(t.a, "spl")).Flags = 0x400;
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
             MarkAsDeleted(t.File(t.a), t.KeyOfID(t.a, "npc_a"));
             MarkAsDeleted(t.File(t.a), t.KeyOfID(t.a, "gold"));
             t.files->DeleteMarked(t.a, nullptr);
         },
         {"a.esp MISC deleted 1", "a.esp NPC_ deleted 1", "a.esp TES3 #0 changed"}},
        {"cut with descendants", [](Changes& t) { t.Relatives(t.a, "npc_b", kOpCut); },
         {"a.esp INFO deleted 1", "a.esp NPC_ deleted 1", "a.esp TES3 #0 changed"}},
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
