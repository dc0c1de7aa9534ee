// What a safe edit must leave behind, judged from the bytes saved (the raw checks of
// TestRecords) rather than through the template lookups that did the work.
#include "IntegrityFixture.h"

#include "index/Marks.h"
#include "index/References.h"
#include "index/TextMentions.h"
#include "model/esfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace vellum;
using namespace vellum::test;

namespace {

std::vector<std::string> UnchangedTexts(esFiles& files) {
    std::vector<std::string> out;
    for (const UnchangedPlace& p : files.Unchanged()) out.push_back(p.Text());
    return out;
}

// A condition on a dead actor ('6') with that name, and its value.
std::vector<Sub> DeadCondition(std::string_view actor) {
    return {{"SCVR", Text("06DX0" + std::string(actor), false)}, {"INTV", Int32(0)}};
}

// Two actors, a script naming one, a topic of four responses: for npc_a by speaker, by
// condition and in a result script, and one for npc_b.
Bytes Dialogue() {
    return Concat({
        HeaderRecord(8),
        RecordBytes("NPC_", {{"NAME", Text("npc_a")}}),
        RecordBytes("NPC_", {{"NAME", Text("npc_b")}}),
        RecordBytes("SCPT", {{"NAME", Text("scr")}, {"SCTX", Text("begin scr\r\n\"npc_a\"->Disable ; npc_a\r\nend", false)}}),
        RecordBytes("DIAL", {{"NAME", Text("topic")}}),
        Info("i1", "", "i2", {{"ONAM", Text("npc_a")}}),
        Info("i2", "i1", "i3", DeadCondition("npc_a")),
        Info("i3", "i2", "i4", {{"BNAM", Text("npc_a->StartCombat player", false)}}),
        Info("i4", "i3", "", {{"ONAM", Text("npc_b")}}),
    });
}

// Two items, a list naming one twice, a cell placing both.
Bytes Counted() {
    return Concat({
        HeaderRecord(4),
        RecordBytes("MISC", {{"NAME", Text("gold")}}),
        RecordBytes("MISC", {{"NAME", Text("rope")}}),
        RecordBytes("LEVI", {{"NAME", Text("list")}, {"INDX", Int32(3)},
                             {"INAM", Text("gold")}, {"INTV", Bytes{1, 0}},
                             {"INAM", Text("rope")}, {"INTV", Bytes{2, 0}},
                             {"INAM", Text("gold")}, {"INTV", Bytes{3, 0}}}),
        RecordBytes("CELL", {{"NAME", Text("room")}, {"NAM0", Int32(2)},
                             {"FRMR", Int32(1)}, {"NAME", Text("gold")},
                             {"FRMR", Int32(2)}, {"NAME", Text("rope")}}),
    });
}

// "<TYPE> <ID>" of every record of a file, in the order saved.
std::vector<std::string> Order(const Bytes& file) {
    std::vector<std::string> out;
    for (const RawRecord& r : RawRecords(file)) out.push_back(r.type + " " + RawID(r));
    return out;
}

} // namespace

// Every count the template declares follows what it counts, whatever adds or removes entries.
TEST(SafeEditing, CountsFollowEveryChangeToWhatTheyCount) {
    const struct {
        const char* what;
        std::function<void(IntegrityTest&, const std::string&)> change;
        std::vector<std::string> listAndCell; // INAM and NAME_NEXT values left, in order
    } cases[] = {
        {"safe delete of an item the list and the cell name",
         [](IntegrityTest& t, const std::string& a) { t.SafeDelete(a, t.IndexOfID(a, "gold")); },
         {"rope", "rope"}},
        {"delete of one subrecord, as the form's subrecord delete",
         [](IntegrityTest& t, const std::string& a) {
             t.files->RecurseRelatives(a, "LEVI3", "INAM", kRecurseDescendants, false, kOpDelete, true, {}, nullptr);
             t.files->ProcessRelatives({}, nullptr);
         },
         {"rope", "gold", "gold", "rope"}},
        {"insert subrecord",
         [](IntegrityTest& t, const std::string& a) { t.File(a).AddSubrecord(3, "INAM"); },
         {"gold", "rope", "gold", "", "gold", "rope"}},
        {"paste of a cell that the clipboard holds in part, after a cut of one reference",
         [](IntegrityTest& t, const std::string& a) {
             const std::string b = t.Open(Concat({HeaderRecord(1), RecordBytes("CELL", {{"NAME", Text("room")},
                                                                                     {"FRMR", Int32(5)},
                                                                                     {"NAME", Text("pick")}})}),
                                          "b.esp");
             esCheckedEntries& ticked = t.files->CheckedEntries(b);
             ticked.Add("f", b, "CELL1", "FRMR");
             ticked.Add("n", b, "CELL1", "NAME2");
             t.files->RecurseRelatives(b, {}, {}, kRecurseBoth, true, kOpCut, true, {}, nullptr);
             t.files->ProcessRelatives({}, nullptr);
             t.files->Paste(a, PasteMode::Replace, nullptr);
         },
         {"gold", "rope", "gold", "gold", "rope", "pick"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        IntegrityTest t;
        const Bytes original = Counted();
        const std::string a = t.Open(original);
        c.change(t, a);
        const Bytes saved = t.Saved(a);
        EXPECT_EQ(WrongCounts(saved), std::vector<std::string>{});
        std::vector<std::string> left;
        for (const RawSubrecord& s : RawSubrecords(saved))
            if (s.type == "INAM" || s.type == "NAME_NEXT") left.push_back(std::string(s.data.begin(), s.data.end()).c_str());
        EXPECT_EQ(left, c.listAndCell);
        EXPECT_TRUE(t.prompt.calls.empty()) << t.prompt.calls.front().text;
    }
}

// A response kept only for an actor, by speaker or by condition, goes with the actor; text that
// names the actor is listed, not cut; the responses left are linked past the ones that went.
TEST(SafeEditing, DeletingAnActorTakesItsResponsesAndMendsTheirList) {
    IntegrityTest t;
    const std::string a = t.Open(Dialogue());
    t.ScanDelete(a, "npc_a");
    EXPECT_EQ(Listing(*t.files), (std::vector<std::string>{"0 0 NPC_1", "0 1 INFO5", "-1 1 SCPT3/SCTX", "0 1 INFO6",
                                                           "-1 1 INFO7/BNAM"}));
    t.files->ProcessRelatives({}, nullptr);
    const std::vector<std::string> unchanged{"a.esp/SCPT3 (scr)/SCTX script source names the ID",
                                             "a.esp/INFO7 (i3)/BNAM result script names the ID"};
    EXPECT_EQ(UnchangedTexts(*t.files), unchanged);

    const Bytes saved = t.Saved(a);
    EXPECT_EQ(Order(saved), (std::vector<std::string>{"TES3 ", "NPC_ npc_b", "SCPT scr", "DIAL topic", "INFO i3",
                                                      "INFO i4"}));
    EXPECT_EQ(PlacesNaming(saved, "npc_a"), (std::vector<std::string>{"SCPT scr SCTX", "INFO i3 BNAM"}))
        << "exactly the places reported unchanged";
    EXPECT_EQ(RawChains(saved), "\ntopic: i3<|i4 i4<i3|") << "i3 is first now";
}

TEST(SafeEditing, DeletingAResponseLinksItsNeighbours) {
    IntegrityTest t;
    const std::string a = t.Open(Dialogue());
    MarkAsDeleted(t.File(a), "INFO6");
    MarkAsDeleted(t.File(a), "INFO7");
    t.files->DeleteMarked(a, nullptr);
    const Bytes saved = t.Saved(a);
    EXPECT_EQ(RawChains(saved), "\ntopic: i1<|i4 i4<i1|");
}

// A response copied alone keeps its topic: under the destination's topic when it has one, at
// the end of its list, else with a copy of the topic.
TEST(SafeEditing, AResponseCopiedAloneKeepsItsTopic) {
    for (const bool scan : {true, false}) {
        SCOPED_TRACE(scan ? "safe copy" : "plain copy");
        IntegrityTest t;
        const std::string a = t.Open(Dialogue());
        const std::string b = t.Open(Concat({HeaderRecord(2), RecordBytes("DIAL", {{"NAME", Text("topic")}}),
                                             Info("j1", "", "")}),
                                     "b.esp");
        const std::string c = t.Open(Concat({HeaderRecord(1), RecordBytes("MISC", {{"NAME", Text("x")}})}), "c.esp");
        if (scan) {
            t.files->RecurseRelatives(a, "INFO6", {}, kRecurseAncestors, false, kOpCopy, true, {}, nullptr);
            EXPECT_EQ(Listing(*t.files), (std::vector<std::string>{"2 0 INFO6", "2 1 DIAL4"}))
                << "its topic comes along; its neighbours in the list do not";
            t.files->ProcessRelatives({}, nullptr);
        } else {
            MarkForCopy(t.File(a), "INFO6");
            t.files->CopyMarked(a, t.files->ClipboardKey(), false, nullptr, true, false, {}, -1);
        }
        const esfile& clip = t.files->ClipboardFile();
        ASSERT_EQ(clip.Records().size(), 3u);
        EXPECT_EQ(clip.Records()[1].ID, "topic");
        EXPECT_EQ(clip.Records()[2].ID, "i2");
        EXPECT_EQ(clip.Records()[2].ParentKey.str(), clip.Records()[1].Key);

        t.files->Paste(b, PasteMode::Replace, nullptr);
        const Bytes intoB = t.Saved(b);
        EXPECT_EQ(Order(intoB), (std::vector<std::string>{"TES3 ", "DIAL topic", "INFO j1", "INFO i2"}));
        EXPECT_EQ(RawChains(intoB), "\ntopic: j1<|i2 i2<j1|") << "linked after the topic's last response";

        t.files->Paste(c, PasteMode::Replace, nullptr);
        EXPECT_EQ(Order(t.Saved(c)), (std::vector<std::string>{"TES3 ", "MISC x", "DIAL topic", "INFO i2"}));
    }
}

// IDs in script text are whole words in any letter case, or whole quoted names; comments and
// longer words do not count.
TEST(SafeEditing, ScriptTextNamesIDsAsWholeWords) {
    const struct {
        const char* text;
        const char* id;
        std::vector<std::string> found;
        const char* renamed; // to "new id"
    } cases[] = {
        {"player->AddItem gold 1", "gold", {"gold"}, "player->AddItem \"new id\" 1"},
        {"player->additem Gold_001 1 ; gold", "gold", {}, "player->additem Gold_001 1 ; gold"},
        {"AddItem \"GOLD\" 1\r\nset gold to 2", "gold", {"GOLD", "gold"}, "AddItem \"new id\" 1\r\nset \"new id\" to 2"},
        {"MessageBox \"Take the gold\"", "gold", {}, "MessageBox \"Take the gold\""},
        {"\" dwemer tube \"->Enable", "Dwemer Tube", {"dwemer tube"}, "\" new id \"->Enable"},
        {"if ( GetJournalIndex FM_Quest >= 10 )", "fm_quest", {"FM_Quest"}, "if ( GetJournalIndex \"new id\" >= 10 )"},
        {"\"fm_npc\".count", "fm_npc", {"fm_npc"}, "\"new id\".count"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<std::string> found;
        const std::string_view text = c.text;
        for (const TextMentions::Span& s : TextMentions::ScriptSpans(text, c.id))
            found.emplace_back(text.substr(s.Begin, s.End - s.Begin));
        EXPECT_EQ(found, c.found);
        EXPECT_EQ(TextMentions::ReplaceInScript(text, c.id, "new id"), c.renamed);
    }
}

// A rename rewrites the references, the conditions and the result scripts that name the ID;
// script source only when asked, and then it says the script needs compiling again.
TEST(SafeEditing, RenameRewritesTextThatNamesTheID) {
    for (const bool scripts : {false, true}) {
        SCOPED_TRACE(scripts ? "with script source" : "without script source");
        IntegrityTest t;
        const std::string a = t.Open(Dialogue());
        Lines lines;
        ASSERT_TRUE(t.Rename(a, 1, "npc_z", false, &lines, scripts));
        std::vector<std::string> expected{"a.esp/INFO5 (i1)/ONAM  Actor: npc_a -> npc_z",
                                          "a.esp/INFO6 (i2)/SCVR  Name: npc_a -> npc_z",
                                          "a.esp/INFO7 (i3)/BNAM  Result: npc_a -> npc_z"};
        if (scripts)
            expected.insert(expected.begin() + 1, "a.esp/SCPT3 (scr)/SCTX  Text: npc_a -> npc_z (recompile this "
                                                  "script: its compiled data still names the old ID)");
        EXPECT_EQ(lines.lines, expected);
        EXPECT_EQ(UnchangedTexts(*t.files),
                  scripts ? std::vector<std::string>{}
                          : std::vector<std::string>{"a.esp/SCPT3 (scr)/SCTX script source names the ID"});
        const Bytes saved = t.Saved(a);
        EXPECT_EQ(PlacesNaming(saved, "npc_a"),
                  scripts ? std::vector<std::string>{} : std::vector<std::string>{"SCPT scr SCTX"});
        for (const RawSubrecord& s : RawSubrecords(saved)) {
            const std::string text(s.data.begin(), s.data.end());
            const std::string want = s.type == "BNAM"   ? "npc_z->StartCombat player"
                                     : s.type == "SCVR" ? "06DX0npc_z"
                                     : s.type == "SCTX" && scripts ? "begin scr\r\n\"npc_z\"->Disable ; npc_a\r\nend"
                                                                   : text;
            EXPECT_EQ(text, want) << s.type;
        }
    }
}

// A plug-in open beside its master is searched by delete, rename and the browser; a file that
// does not depend on the master is not. So too after either of the two was saved under another
// path (their indexes are named by title and full path).
TEST(SafeEditing, FilesThatDependOnTheSelectionsFileAreSearchedToo) {
    for (const std::string savedAs : {"", "m.esm", "p.esp"}) {
        SCOPED_TRACE(savedAs);
        IntegrityTest t;
        const std::string m = t.Open(SampleFile(), "m.esm");
        const Bytes plugin = Concat({HeaderRecord(3, 1, {{"M.ESM", 0}}),
                                     RecordBytes("CONT", {{"NAME", Text("chest")}, {"NPCO", Npco(1, "gold")}}),
                                     RecordBytes("DIAL", {{"NAME", Text("ptopic")}}),
                                     Info("p1", "", "", {{"ONAM", Text("npc_a")}})});
        const std::string p = t.Open(plugin, "p.esp");
        const Bytes unrelated = Concat({HeaderRecord(1), RecordBytes("CONT", {{"NAME", Text("box")}, {"NPCO", Npco(1, "gold")}})});
        const std::string q = t.Open(unrelated, "q.esp");
        EXPECT_EQ(t.files->Dependents(m), std::vector<std::string>{p});

        std::vector<std::string> browsed;
        for (const ReferenceRow& r : BrowseReferences(*t.files, m, t.IndexOfID(m, "gold"), nullptr))
            if (r.Type == ReferenceRow::Descendant) browsed.push_back(r.ID + " in " + r.FileKey.substr(t.dir.path().string().size() + 1));
        EXPECT_EQ(browsed, (std::vector<std::string>{"npc_a in m.esm", "npc_a in m.esm", "npc_b in m.esm", "chest in p.esp"}));

        if (!savedAs.empty()) { // as File > Save As does, after the scan above indexed both
            esfile& f = t.File(t.dir / savedAs);
            std::filesystem::create_directories(t.dir / "other");
            f.FileTitle = savedAs == "p.esp" ? "p2.esp" : savedAs;
            f.SaveFileName = (t.dir / "other" / f.FileTitle).string();
            ASSERT_TRUE(f.Save(f.SaveFileName, f.FileTitle));
            t.files->History().MarkSaved(f.FileName);
        }
        t.SafeDelete(m, t.IndexOfID(m, "gold"));
        EXPECT_TRUE(t.File(p).Changed);
        EXPECT_FALSE(t.File(q).Changed);
        EXPECT_EQ(PlacesNaming(t.Saved(p), "gold"), std::vector<std::string>{});
        EXPECT_EQ(PlacesNaming(t.Saved(q), "gold"), std::vector<std::string>{"CONT box NPCO"});

        Lines lines;
        ASSERT_TRUE(t.Rename(m, t.IndexOfID(m, "npc_a"), "npc_z", false, &lines));
        EXPECT_EQ(lines.lines.back(), t.File(p).FileTitle + "/INFO3 (p1)/ONAM  Actor: npc_a -> npc_z");
        EXPECT_TRUE(t.prompt.calls.empty()) << t.prompt.calls.front().text;
    }
}

// The reference index a scan reads describes the file as it is in memory: after an edit, after
// its index went or was replaced, and apart from another file of the same name.
TEST(SafeEditing, ScansReadAnIndexOfTheFileAsItIsNow) {
    IntegrityTest t;
    std::filesystem::create_directories(t.dir / "x");
    std::filesystem::create_directories(t.dir / "y");
    const std::string a = t.Open(SampleFile(), "x/a.esp");
    const std::string other = t.Open(Concat({HeaderRecord(1), RecordBytes("NPC_", {{"NAME", Text("npc_y")},
                                                                                  {"SCRI", Text("scr_a")}})}),
                                     "y/a.esp");
    EXPECT_NE(t.files->Indexer().RefIndexPath(t.File(a)), t.files->Indexer().RefIndexPath(t.File(other)));

    // As the form does: a property edited, the subrecord packed, the file marked changed.
    esfile& f = t.File(a);
    Decoded(f, 6, "SCRI").Item(1).SetValue(std::string("scr_a"));
    f.PackSubRecord(6, "SCRI");
    f.Changed = true;
    t.ScanDelete(a, "scr_a");
    EXPECT_EQ(Listing(*t.files), (std::vector<std::string>{"0 0 SCPT1", "0 1 MISC3/SCRI", "0 1 NPC_5", "0 1 NPC_6",
                                                           "0 2 INFO8", "0 2 INFO9"}));

    for (const bool replaced : {false, true}) {
        const std::filesystem::path rdx = t.files->Indexer().RefIndexPath(f);
        std::filesystem::remove(rdx);
        if (replaced) WriteBytes(rdx, {4, 0, 0, 0, 'G', 'O', 'N', 'E'});
        std::vector<std::string> rows;
        for (const ReferenceRow& r : BrowseReferences(*t.files, a, t.IndexOfID(a, "gold"), nullptr)) rows.push_back(r.ID);
        EXPECT_EQ(rows, (std::vector<std::string>{"scr_a", "npc_a", "npc_a", "npc_b"})) << replaced;
    }

    const std::filesystem::path before = t.files->Indexer().RefIndexPath(f);
    f.SaveFileName = (t.dir / "renamed.esp").string();
    f.FileTitle = "renamed.esp";
    ASSERT_TRUE(f.Save(f.SaveFileName, f.FileTitle));
    EXPECT_NE(t.files->Indexer().CurrentRefIndex(f, nullptr), before);
    EXPECT_FALSE(std::filesystem::exists(before)) << "the old name's index does not stay behind";
    EXPECT_TRUE(t.prompt.calls.empty()) << t.prompt.calls.front().text;
}

// The clipboard settings are read where they live; a paste reads the clipboard in use.
TEST(SafeEditing, ClipboardFollowsItsSettingAndTheClipboardInUse) {
    IntegrityTest t;
    const std::string a = t.Open(SampleFile());
    const std::string b = t.Open(Concat({HeaderRecord(1), RecordBytes("MISC", {{"NAME", Text("pick")}})}), "b.esp");
    auto copy = [&](const std::string& id) {
        t.files->RecurseRelatives(a, t.KeyOf(a, id), {}, -1, false, kOpCopy, true, {}, nullptr);
        t.files->ProcessRelatives({}, nullptr);
    };
    auto clipboard = [&] {
        std::vector<std::string> ids;
        for (const RecordEntry& r : t.files->ClipboardFile().Records()) ids.push_back(r.ID);
        return ids;
    };
    t.files->Settings().ReplaceClipboard = false;
    copy("spl");
    copy("gold");
    copy("spl");
    EXPECT_EQ(clipboard(), (std::vector<std::string>{"", "spl", "gold"})) << "a copy of an ID it holds replaces it";
    t.files->Settings().ReplaceClipboard = true;
    copy("fac_a");
    EXPECT_EQ(clipboard(), (std::vector<std::string>{"", "fac_a"}));

    // The clipboard saved as a file of its own, as File > Save does: a new one takes its place.
    t.files->ClipboardFile().Clipboard = false;
    esfile* fresh = t.files->Add("<Clipboard1>");
    fresh->Clipboard = true;
    copy("scr_a");
    t.files->Paste(b, PasteMode::Replace, nullptr);
    EXPECT_GE(t.IndexOfID(b, "scr_a"), 0);
    EXPECT_EQ(t.IndexOfID(b, "fac_a"), -1);
}
