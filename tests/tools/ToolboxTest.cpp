// Conflicts and cleaning through vellum-cli on a real master and a plug-in of it that the test
// builds from the master's own bytes; the expectations come from how the plug-in was built, the
// result is read back as raw bytes and with esmtool.

#include "../cli/CliRunner.h"
#include "model/ByteCast.h"
#include "tools/DirtySettings.h"

#include "TestRecords.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <set>

namespace vellum::test {
namespace {

struct RawSub {
    std::string name;
    std::size_t at = 0; // of its header in the record data
    ByteSpan data;
};

std::vector<RawSub> Subs(ByteSpan data) {
    std::vector<RawSub> out;
    for (std::size_t at = 0; data.size() - at >= 8;) {
        const std::size_t size = cast::LoadU32(data.data() + at + 4);
        out.push_back({std::string(reinterpret_cast<const char*>(data.data() + at), 4), at, data.subspan(at + 8, size)});
        at += 8 + size;
    }
    return out;
}

std::string Str(ByteSpan b) {
    std::string s(b.begin(), b.end());
    return s.substr(0, s.find('\0'));
}

Bytes Record(std::string_view type, ByteSpan data, std::uint32_t flags = 0) {
    return Concat({Bytes(type.begin(), type.end()), Int32(static_cast<std::int32_t>(data.size())), Int32(0),
                   Int32(static_cast<std::int32_t>(flags)), Bytes(data.begin(), data.end())});
}

// A cell's reference groups: from each FRMR to the next FRMR, MVRF or NAM0.
struct Cell {
    ByteSpan part;
    std::vector<ByteSpan> refs;
    bool moved = false;
};
Cell CellOf(ByteSpan data) {
    Cell c;
    const auto subs = Subs(data);
    std::size_t partEnd = data.size(), start = 0;
    bool open = false;
    for (const RawSub& s : subs) {
        const bool starts = s.name == "FRMR" || s.name == "MVRF" || s.name == "NAM0";
        if (starts && partEnd == data.size()) partEnd = s.at;
        if (starts && open) c.refs.push_back(data.subspan(start, s.at - start)), open = false;
        if (s.name == "FRMR") start = s.at, open = true;
        c.moved = c.moved || s.name == "MVRF";
    }
    if (open) c.refs.push_back(data.subspan(start));
    c.part = data.subspan(0, partEnd);
    return c;
}

Bytes FlipLastByteOf(ByteSpan data, std::string_view sub) {
    Bytes out(data.begin(), data.end());
    for (const RawSub& s : Subs(data))
        if (s.name == sub && !s.data.empty()) {
            out[s.at + 8 + s.data.size() - 1] ^= 0x01;
            return out;
        }
    ADD_FAILURE() << "no " << sub;
    return out;
}

// The plug-in of patch_for_purists.esm the tests work on, and what each of its records is.
class PuristsPlugin : public ::testing::Test {
protected:
    void SetUp() override {
        if (PluginsDir().empty()) GTEST_SKIP() << "shared test data not found at " VELLUM_SHARED_DIR;
        master = (PluginsDir() / "patch_for_purists.esm").string();
        masterBytes = ReadBytes(master);
        const std::vector<RawRecord> recs = RawRecords(masterBytes);
        auto first = [&](std::string_view type, std::size_t skip = 0) -> const RawRecord& {
            for (const RawRecord& r : recs)
                if (r.type == type && skip-- == 0) return r;
            throw std::runtime_error("no record");
        };
        auto id = [](const RawRecord& r) { return Str(Subs(r.data).front().data); };
        std::vector<Bytes> records;
        auto add = [&](Bytes bytes) { records.push_back(std::move(bytes)); };

        // Copies, a copy with other flags, a copy with a changed subrecord, new records.
        const RawRecord& npc = first("NPC_");
        const RawRecord& book = first("BOOK");
        const RawRecord& book2 = first("BOOK", 1);
        const RawRecord& misc = first("MISC");
        add(Bytes(npc.whole.begin(), npc.whole.end()));
        add(Bytes(book.whole.begin(), book.whole.end()));
        add(Record("BOOK", book2.data, cast::LoadU32(book2.whole.data() + 12) ^ 0x2000));
        add(Record("MISC", FlipLastByteOf(misc.data, "MODL")));
        add(RecordBytes("GLOB", {{"NAME", Text("vellum_new")}, {"FNAM", Text("f", false)}, {"FLTV", Bytes(4, 0)}}));
        expected["NPC_ " + id(npc)] = {"identical", "identical to patch_for_purists.esm"};
        expected["BOOK " + id(book)] = {"identical", ""}; // the new reference places it
        expected["BOOK " + id(book2)] = {"differs flags", ""};
        expected["MISC " + id(misc)] = {"differs MODL", ""};

        // Game settings: dirty ones, and a listed one with another value.
        add(RecordBytes("GMST", {{"NAME", Text("sMaxSale", false)}, {"STRV", Text("Max Sale", false)}}));
        add(RecordBytes("GMST", {{"NAME", Text("fWereWolfSpeed", false)}, {"FLTV", cast::FromSingle(150.0f)}}));
        add(RecordBytes("GMST", {{"NAME", Text("sProfitValue", false)}, {"STRV", Text("Exchange", false)}}));
        expected["GMST sMaxSale"] = {"", "dirty game setting"};
        expected["GMST fWereWolfSpeed"] = {"", "dirty game setting"};

        // Interior cells with three references and no moved one: one with an identical, a
        // changed and a new reference; one copied whole; one with its own part and only
        // identical references.
        std::vector<const RawRecord*> cells;
        for (const RawRecord& r : recs) {
            if (r.type != "CELL" || !(Subs(r.data)[1].data[0] & 1)) continue;
            const Cell c = CellOf(r.data);
            if (c.refs.size() >= 3 && !c.moved) cells.push_back(&r);
        }
        ASSERT_GE(cells.size(), 3u);
        const Cell c0 = CellOf(cells[0]->data), c2 = CellOf(cells[2]->data);
        const Bytes newRef = Concat({SubBytes({"FRMR", Int32(1)}), SubBytes({"NAME", Text(id(book))}),
                                     SubBytes({"DATA", Bytes(24, 0)})});
        add(Record("CELL", Concat({Bytes(c0.part.begin(), c0.part.end()), Bytes(c0.refs[0].begin(), c0.refs[0].end()),
                                   FlipLastByteOf(c0.refs[1], "DATA"), newRef})));
        add(Bytes(cells[1]->whole.begin(), cells[1]->whole.end()));
        add(Record("CELL", Concat({Bytes(c2.part.begin(), c2.part.end()), Bytes(c2.refs[0].begin(), c2.refs[0].end())})));
        cell0 = id(*cells[0]);
        expected["CELL " + cell0] = {"differs", "1 references identical to patch_for_purists.esm"};
        expected["CELL " + id(*cells[1])] = {"identical", "identical to patch_for_purists.esm"};
        expected["CELL " + id(*cells[2])] = {"differs", "identical to patch_for_purists.esm"};

        // A topic with an identical response goes with it; one whose response changed stays.
        std::vector<std::size_t> topics;
        for (std::size_t i = 0; i + 1 < recs.size(); ++i)
            if (recs[i].type == "DIAL" && recs[i + 1].type == "INFO") topics.push_back(i);
        ASSERT_GE(topics.size(), 2u);
        const RawRecord &dial1 = recs[topics[0]], &info1 = recs[topics[0] + 1];
        const RawRecord &dial2 = recs[topics[1]], &info2 = recs[topics[1] + 1];
        add(Bytes(dial1.whole.begin(), dial1.whole.end()));
        add(Bytes(info1.whole.begin(), info1.whole.end()));
        add(Bytes(dial2.whole.begin(), dial2.whole.end()));
        add(Record("INFO", FlipLastByteOf(info2.data, "NAME"), cast::LoadU32(info2.whole.data() + 12)));
        expected["DIAL " + id(dial1)] = {"identical", "identical to patch_for_purists.esm"};
        expected["INFO " + id(info1)] = {"identical", "identical to patch_for_purists.esm"};
        expected["DIAL " + id(dial2)] = {"identical", ""};
        expected["INFO " + id(info2)] = {"differs NAME", ""};

        // The object copy that is to go may be named by no other record of the plug-in.
        const Bytes all = Concat(records);
        for (const auto& [record, fate] : expected) {
            if (fate.second.empty() || record.rfind("NPC_", 0) != 0) continue;
            const std::string name = record.substr(5);
            std::size_t uses = 0;
            for (auto at = all.begin(); (at = std::search(at, all.end(), name.begin(), name.end())) != all.end(); ++at)
                ++uses;
            ASSERT_EQ(uses, 1u) << record;
        }

        recordCount = static_cast<int>(records.size());
        records.insert(records.begin(), HeaderRecord(recordCount, 0,
                                                     {{"Morrowind.esm", 79837557}, {"Tribunal.esm", 4565686},
                                                      {"Bloodmoon.esm", 9631798}, {"patch_for_purists.esm", 2994440}}));
        plugin = (dir / "plugin.esp").string();
        WriteBytes(plugin, Concat(records));
    }

    TempDir dir;
    std::string master, plugin, cell0;
    Bytes masterBytes;
    int recordCount = 0;
    // "TYPE ID" -> {its conflicts verdict ("" when the master lacks it), its cleaning line's
    // reason ("" when it stays)}
    std::map<std::string, std::pair<std::string, std::string>> expected;
};

TEST_F(PuristsPlugin, ConflictsNameEachSharedRecordTheWinnerAndWhatDiffers) {
    const CliRun r = RunCli("conflicts " + ShippedTemplateOption() + " " + Quote(master) + " " + Quote(plugin), dir.path());
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines = OutputLines(r.out);
    ASSERT_FALSE(lines.empty());
    std::size_t shared = 0, differing = 0;
    std::set<std::string> seen;
    for (const auto& [record, fate] : expected) {
        if (fate.first.empty()) continue;
        ++shared;
        differing += fate.first != "identical";
        // Cells with fewer or other references differ in them; the rest is known exactly.
        const std::string head = record + ": patch_for_purists.esm, plugin.esp winner plugin.esp " + fate.first;
        const auto it = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(head, 0) == 0; });
        ASSERT_NE(it, lines.end()) << head << "\n" << r.out;
        if (fate.first != "differs") {
            EXPECT_EQ(*it, head);
        } else {
            EXPECT_NE(it->find(" FRMR"), std::string::npos) << *it;
        }
        seen.insert(*it);
    }
    EXPECT_EQ(lines.back(), "records in more than one file: " + std::to_string(shared) +
                                ", differing: " + std::to_string(differing));
    EXPECT_EQ(seen.size() + 1, lines.size()) << r.out;
}

TEST_F(PuristsPlugin, CleaningRemovesCopiesAndDirtySettingsAndKeepsWhatIsItsOwn) {
    const std::string out = (dir / "clean.esp").string();
    const CliRun r = RunCli("clean " + ShippedTemplateOption() + " " + Quote(plugin) + " --with " + Quote(master) +
                                " --out " + Quote(out),
                            dir.path());
    ASSERT_EQ(r.status, 0) << r.err;
    std::set<std::string> want, gone;
    int removed = 0;
    for (const auto& [record, fate] : expected) {
        if (fate.second.empty()) continue;
        want.insert(record + ": " + fate.second);
        if (fate.second.find("references") == std::string::npos) gone.insert(record), ++removed;
    }
    std::vector<std::string> lines = OutputLines(r.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "removed " + std::to_string(removed) + " of " + std::to_string(recordCount) + " records");
    lines.pop_back();
    EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()), want) << r.out;
    EXPECT_EQ(lines.size(), want.size());

    // What is left, read back without the program: every record that is not gone, the cell
    // without its identical reference, the header counting what is there.
    const Bytes cleaned = ReadBytes(out);
    const std::vector<RawRecord> left = RawRecords(cleaned);
    EXPECT_EQ(left.size(), static_cast<std::size_t>(recordCount - removed + 1));
    EXPECT_EQ(cast::LoadU32(&cleaned.at(16 + 8 + 296)), left.size() - 1);
    std::multiset<std::string> ids;
    for (std::size_t i = 1; i < left.size(); ++i) {
        const std::string id = left[i].type + " " + Str(Subs(left[i].data).front().data);
        EXPECT_FALSE(gone.count(id)) << id;
        if (id == "CELL " + cell0) {
            EXPECT_EQ(CellOf(left[i].data).refs.size(), 2u);
        }
        ids.insert(id);
    }
    EXPECT_EQ(ids.count("GMST sProfitValue"), 1u);
    EXPECT_EQ(ids.count("GLOB vellum_new"), 1u);

    const std::optional<std::string> dump = EsmtoolDump(out);
    if (!dump) GTEST_SKIP() << "esmtool is not installed";
    EXPECT_EQ(DumpLines(*dump, "Record: ").size(), left.size() - 1) << *dump;
    EXPECT_TRUE(DumpLines(*dump, "ERROR").empty()) << *dump;
    EXPECT_EQ(DumpLines(*dump, "Record: GMST").size(), 1u) << *dump;
}

TEST(Cleaning, DirtySettingsMatchIdAndValueAndBadListLinesAreNamed) {
    PromptRecorder prompt;
    DirtySettings dirty;
    dirty.Read("# comment\r\nsMaxSale\tMax Sale\niBounty\t10000\nfSpeed\t0.3\n\nnoTab\n"
               "iBad\tten\nfBad\t\nxOdd\t1\nsMaxSale\tagain\n",
               "list.txt");
    EXPECT_EQ(dirty.Count(), 3u);
    EXPECT_EQ(prompt.Texts(),
              (std::vector<std::string>{
                  "Warning: list.txt, line 6: expected a setting's ID, a tab and its value; the line is skipped.",
                  "Warning: list.txt, line 7: the value of an integer setting is no whole number; the line is skipped.",
                  "Warning: list.txt, line 8: the value of a float setting is no number; the line is skipped.",
                  "Warning: list.txt, line 9: the ID does not begin with s, i or f; the line is skipped.",
                  "Warning: list.txt, line 10: the setting is listed twice; the line is skipped."}));
    const struct {
        std::string id;
        Bytes data;
        bool dirty;
    } cases[] = {
        {"SMAXSALE", SubBytes({"STRV", Text("Max Sale", false)}), true},
        {"sMaxSale", SubBytes({"STRV", Text("Max Sale")}), true},
        {"sMaxSale", SubBytes({"STRV", Text("Seller Max")}), false},
        {"sMaxSale", SubBytes({"INTV", Int32(1)}), false},
        {"iBounty", SubBytes({"INTV", Int32(10000)}), true},
        {"iBounty", SubBytes({"INTV", Int32(1000)}), false},
        {"fSpeed", SubBytes({"FLTV", cast::FromSingle(0.3f)}), true},
        {"fSpeed", SubBytes({"FLTV", cast::FromSingle(0.30001f)}), false},
        {"sOther", SubBytes({"STRV", Text("Max Sale")}), false},
    };
    for (const auto& c : cases) EXPECT_EQ(dirty.IsDirty(c.id, c.data), c.dirty) << c.id;
    EXPECT_FALSE(DirtySettings().Load("/nonexistent/list.txt"));
}

TEST(Cleaning, TheDirtySettingsOfARealPluginGoAndNothingElse) {
    VELLUM_REQUIRE_SHARED();
    TempDir dir;
    const std::string in = (PluginsDir() / "fast_travel_tr_v2.esp").string(), out = (dir / "clean.esp").string();
    const CliRun r = RunCli("clean " + ShippedTemplateOption() + " " + Quote(in) + " --out " + Quote(out), dir.path());
    ASSERT_EQ(r.status, 0) << r.err;
    const Bytes before = ReadBytes(in), after = ReadBytes(out);
    std::vector<std::string> lines;
    std::vector<Bytes> kept;
    for (const RawRecord& rec : RawRecords(before)) {
        if (rec.type == "GMST") lines.push_back("GMST " + Str(Subs(rec.data).front().data) + ": dirty game setting");
        else if (rec.type != "TES3") kept.push_back(Bytes(rec.whole.begin(), rec.whole.end()));
    }
    ASSERT_EQ(lines.size(), 72u);
    lines.push_back("removed 72 of 133 records");
    std::string expected;
    for (const auto& l : lines) expected += l + "\n";
    EXPECT_EQ(r.out, expected);
    std::vector<Bytes> left;
    for (const RawRecord& rec : RawRecords(after))
        if (rec.type != "TES3") left.push_back(Bytes(rec.whole.begin(), rec.whole.end()));
    std::sort(kept.begin(), kept.end());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, kept);
    EXPECT_EQ(cast::LoadU32(&after.at(16 + 8 + 296)), 61u);
}

} // namespace
} // namespace vellum::test
