// Checks of the format template and the new-file templates that ship in data/.

#include "model/Text.h"
#include "template/Config.h"
#include "template/PropertyCodec.h"
#include "template/SubrecordCaption.h"

#include "template/ValueNames.h"

#include "TestRecords.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace vellum;
namespace fs = std::filesystem;

namespace {

fs::path DataDir() { return test::SourceDir() / "data"; }

const std::set<std::string> kTypes = {"STRING", "STRINGLIST", "BYTE", "BITFIELD", "SHORT",
                                      "LONG",   "LONG64",     "SINGLE", "DOUBLE", "SIGNED"};

const Config& Template() {
    static Config* templ = [] {
        auto* c = new Config;
        c->OpenFile((DataDir() / "ESTemplate.ini").string());
        return c;
    }();
    return *templ;
}

bool IsRecordGroup(const std::string& name) {
    return name.find('.') == std::string::npos && !name.empty() && name[0] != '@';
}

std::vector<std::string> RecordTypes() {
    std::vector<std::string> out;
    for (const auto& g : Template().Groups())
        if (IsRecordGroup(g.value.Name)) out.push_back(g.value.Name);
    return out;
}

std::string Type(const Variable& v) { return ToUpper(TrimSpaces(v.Value1())); }
int Size(const Variable& v) { return ValInt(v.Value2()); }

const Variable* PropertyLine(std::string_view address) {
    auto parts = Split(address, '.');
    if (parts.size() != 3) return nullptr;
    return Template().FindVar(parts[0] + "." + parts[1], parts[2]);
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += "\n  " + l;
    return out;
}

} // namespace

TEST(ShippedTemplate, ReadsWithoutAnyMessageAndMatchesItsDefaultCopy) {
    test::PromptRecorder prompt;
    Config c;
    ASSERT_EQ(c.OpenFile((DataDir() / "ESTemplate.ini").string()), 0);
    PropertyCodec(c).ParseTemplate(); // every line's names are found and fit
    EXPECT_TRUE(prompt.calls.empty()) << Joined(prompt.Texts());
    EXPECT_GT(c.Groups().Count(), 500u);
    EXPECT_TRUE(test::ReadBytes(DataDir() / "ESTemplate.ini") == test::ReadBytes(DataDir() / "ESTemplate.def"))
        << "ESTemplate.def is the copy the template editor restores";
}

TEST(ShippedTemplate, EveryRecordTypeIsSavedExactlyOnce) {
    const Config& t = Template();
    const Group* seq = t.FindGroup("@FILESEQUENCE");
    ASSERT_NE(seq, nullptr);
    std::vector<std::string> order, strangers;
    for (const auto& v : seq->Variables) {
        order.push_back(v.value.Name);
        if (v.value.Name != "NOSEQUENCE" && !IsRecordGroup(v.value.Name)) strangers.push_back(v.value.Name);
        if (v.value.Name != "NOSEQUENCE" && !t.GroupExists(v.value.Name)) strangers.push_back(v.value.Name);
    }
    EXPECT_TRUE(strangers.empty()) << Joined(strangers);
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order.front(), "TES3") << "the file header is written first";
    EXPECT_TRUE(seq->Variables.Exists("NOSEQUENCE")) << "types the template does not know must still be saved";
    for (const auto& type : RecordTypes())
        EXPECT_TRUE(seq->Variables.Exists(type)) << type << " would only be saved through NOSEQUENCE";

    // Records of a type that follows a parent are saved only behind their parent.
    std::vector<std::string> followers;
    for (const auto& type : RecordTypes())
        if (t.InstrExists(type, "FollowsParent")) followers.push_back(type);
    EXPECT_EQ(followers, std::vector<std::string>{"INFO"});
    const Variable* parent = t.FindInstr("DIAL", "PrecedesChildren");
    ASSERT_NE(parent, nullptr);
    EXPECT_EQ(parent->Value, "INFO");
    EXPECT_TRUE(t.InstrExists("TES3", "Unique"));
}

TEST(ShippedTemplate, PropertyLinesAndInstructionsAreWellFormed) {
    const std::set<std::string> variants = {"NPC_.NPDT_12", "CELL.DATA_24", "CELL.NAME_NEXT"};
    const std::set<std::string> instructions = {"REQUIREMENT", "STARTGROUP", "UNIQUE", "ALLOWNULL", "COUNTS",
                                                "FILTER",      "CHAIN",      "SCRIPTTEXT", "CONDITION"};
    std::vector<std::string> faults;
    for (const auto& v : variants)
        if (!Template().GroupExists(v)) faults.push_back(v + ": variant group missing");

    for (const auto& entry : Template().Groups()) {
        const Group& g = entry.value;
        if (IsRecordGroup(g.Name) || g.Name[0] == '@') continue;
        auto parts = Split(g.Name, '.');
        if (parts.size() != 2 || !IsRecordGroup(parts[0]) || !Template().GroupExists(parts[0]))
            faults.push_back(g.Name + ": not named record type . subrecord type");
        else if (parts[1].size() != 4 && !variants.count(g.Name))
            faults.push_back(g.Name + ": subrecord type is neither four characters nor a variant");
        if (g.Variables.Count() == 0) faults.push_back(g.Name + ": no property");

        for (const auto& v : g.Variables) {
            const std::string where = g.Name + "." + v.value.Name;
            std::string type = Type(v.value);
            if (!kTypes.count(type)) faults.push_back(where + ": unknown type " + v.value.Value);
            if (v.value.Name.find_first_of(".,:") != std::string::npos)
                faults.push_back(where + ": property names must not contain . , or :");
        }
        for (const auto& i : g.Instructions)
            if (!instructions.count(ToUpper(i.value.Name))) faults.push_back(g.Name + ": @" + i.value.Name);

        int requirement = 0;
        if (const Variable* r = Template().FindInstr(g.Name, "REQUIREMENT")) requirement = ValInt(r->Value);
        if (requirement < 0 || requirement > 2) faults.push_back(g.Name + ": requirement out of range");
        // A new record gets a subrecord named by the last four characters of each such group.
        if (requirement == 2 && parts.size() == 2 && parts[1].size() != 4)
            faults.push_back(g.Name + ": a variant cannot be required in a new record");
        const Variable* start = Template().FindInstr(g.Name, "STARTGROUP");
        if (start && ToUpper(start->Value) != "MAINRECORD" && requirement != 1)
            faults.push_back(g.Name + ": opens an item group, so adding one must open a new item");
        if (start && start->Value.empty()) faults.push_back(g.Name + ": STARTGROUP without label");
    }
    EXPECT_TRUE(faults.empty()) << Joined(faults);
}

// What keeps records whole names what it relies on: counted subrecords that open items, a
// count in a four-byte first line, both links of a list, one text line for script text, the
// kind line of a condition and the record types its kinds name.
TEST(ShippedTemplate, InstructionsThatKeepRecordsWholeNameWhatTheyRelyOn) {
    const Config& t = Template();
    std::vector<std::string> faults;
    std::map<std::string, int> links; // record type -> chain links seen
    const std::vector<std::string> types = RecordTypes();
    for (const auto& entry : t.Groups()) {
        const Group& g = entry.value;
        const auto parts = Split(g.Name, '.');
        if (parts.size() != 2) continue;
        if (const Variable* c = t.FindInstr(g.Name, "Counts")) {
            const std::string counted = parts[0] + "." + std::string(TrimSpaces(c->Value));
            const Variable* start = t.FindInstr(counted, "STARTGROUP");
            if (!start || ToUpper(start->Value) == "MAINRECORD") faults.push_back(g.Name + ": counts no item");
            if (g.Variables.Count() == 0 || g.Variables.Item(1).Value != "LONG,4")
                faults.push_back(g.Name + ": the count is not a LONG,4 first line");
        }
        if (const Variable* c = t.FindInstr(g.Name, "Chain")) {
            const std::string link = ToUpper(TrimSpaces(c->Value));
            links[parts[0]] += link == "PREVIOUS" ? 1 : link == "NEXT" ? 2 : 100;
            if (g.Variables.Count() != 1 || !t.VarExists("@TEXTLOOKUP", g.Name + "." + g.Variables.Item(1).Name))
                faults.push_back(g.Name + ": a link is one text lookup");
        }
        if (const Variable* c = t.FindInstr(g.Name, "ScriptText")) {
            if (g.Variables.Count() != 1 || Type(g.Variables.Item(1)) != "STRING")
                faults.push_back(g.Name + ": script text is one STRING line");
            if (!c->Value2().empty() && !t.GroupExists(parts[0] + "." + std::string(TrimSpaces(c->Value2()))))
                faults.push_back(g.Name + ": its compiled form has no group");
        }
        if (const Variable* c = t.FindInstr(g.Name, "Condition")) {
            const Variable* kind = t.FindVar(g.Name, TrimSpaces(c->Value));
            if (!kind || TrimSpaces(kind->Value1()) != "STRING" || TrimSpaces(kind->Value2()) != "1") faults.push_back(g.Name + ": the kind is not a one-character line");
        }
        if (t.InstrExists(g.Name, "Filter") && !t.InstrExists(g.Name, "Condition") &&
            !(g.Variables.Count() == 1 && t.VarExists("@TEXTLOOKUP", g.Name + "." + g.Variables.Item(1).Name)))
            faults.push_back(g.Name + ": a filter names a record");
    }
    for (const auto& [type, seen] : links)
        if (seen != 3) faults.push_back(type + ": a list needs one Previous and one Next link");
    for (const auto& e : t.Groups().Item("@CONDITIONLOOKUP").Variables) {
        const auto parts = Split(e.value.Name, '.');
        if (parts.size() != 4 || !t.InstrExists(parts[0] + "." + parts[1], "Condition") ||
            !t.VarExists(parts[0] + "." + parts[1], parts[2]))
            faults.push_back(e.value.Name + ": names no condition line");
        for (const std::string& type : Split(e.value.Value, ','))
            if (std::find(types.begin(), types.end(), type) == types.end())
                faults.push_back(e.value.Name + ": unknown record type " + type);
    }
    EXPECT_EQ(links.size(), 1u) << "the responses of a topic";
    EXPECT_TRUE(faults.empty()) << Joined(faults);
}

TEST(ShippedTemplate, IdsAndDescriptionsNamePropertiesThatCanBeLocated) {
    const Config& t = Template();
    std::vector<std::string> faults, withoutId;
    for (const auto& type : RecordTypes()) {
        if (const Variable* desc = t.FindVar(type, "PropDesc")) {
            std::string group = type + "." + std::string(desc->Value1());
            if (!t.FindVar(group, desc->Value2())) faults.push_back(type + ": PropDesc " + desc->Value);
        }
        const Variable* id = t.FindVar(type, "PropID");
        if (!id) {
            withoutId.push_back(type);
            continue;
        }
        for (const auto& pair : Split(id->Value, ',')) {
            auto parts = Split(pair, ':');
            if (parts.size() != 2) {
                faults.push_back(type + ": PropID pair " + pair);
                continue;
            }
            const std::string groupName = type + "." + parts[0];
            const Group* g = t.FindGroup(groupName);
            if (!g || !g->Variables.Exists(parts[1])) {
                faults.push_back(type + ": PropID names missing " + pair);
                continue;
            }
            const Variable* req = t.FindInstr(groupName, "REQUIREMENT");
            if (!req || ValInt(req->Value) != 2)
                faults.push_back(groupName + ": carries the ID but is not required");
            // A packed record's ID is found by adding the sizes of the lines before it.
            if (g->Variables.Count() > 1) {
                for (const auto& v : g->Variables) {
                    if (KeysEqual(v.value.Name, parts[1])) break;
                    if (Size(v.value) <= 0)
                        faults.push_back(groupName + "." + v.value.Name + ": lies before the ID without a size");
                }
            }
        }
    }
    EXPECT_TRUE(faults.empty()) << Joined(faults);
    // Only the header and saved-game records that exist once per file go without an ID.
    EXPECT_EQ(withoutId, (std::vector<std::string>{"TES3", "FMAP", "SPLM", "JOUR", "GAME", "KLST", "PCDT"}));
}

// Every bit field names its bits, and each list of names fits the lines that use it: flags for
// bit fields, numbers for numbers, and a -1 only where the line can hold one.
TEST(ShippedTemplate, NamesFitTheLinesThatUseThem) {
    const std::set<std::string> undocumented = {"CELL.ACTN", "REFR.ACTN"}; // saved-game bits nobody knows
    std::vector<std::string> faults;
    std::set<std::string> used;
    for (const auto& entry : Template().Groups()) {
        const Group& g = entry.value;
        if (IsRecordGroup(g.Name) || g.Name[0] == '@') continue;
        for (const auto& v : g.Variables) {
            const std::string where = g.Name + "." + v.value.Name, type = Type(v.value);
            const std::string list(TrimSpaces(v.value.Value3()));
            if (list.empty()) {
                if (type == "BITFIELD" && !undocumented.count(g.Name)) faults.push_back(where + ": bits without names");
                continue;
            }
            const auto kind = type == "BITFIELD" ? ValueNames::Kind::Flags : ValueNames::Kind::Values;
            const std::string heading = ValueNames::GroupName(kind, list);
            used.insert(ToUpper(heading));
            // A missing list or names unfit for the line are reported when the template is read.
            const Group* names = Template().FindGroup(heading);
            if (!names) continue;
            const bool holdsMinusOne = type == "SHORT" || type == "SIGNED" || (type == "LONG" && Size(v.value) == 4);
            for (const auto& n : names->Variables) {
                const auto number = ValueNames::ParseNumber(n.value.Name);
                if (number && *number < 0 && !holdsMinusOne)
                    faults.push_back(where + ": " + heading + " names " + n.value.Name + ", which it cannot hold");
            }
        }
    }
    for (const auto& entry : Template().Groups())
        if ((StartsWithNoCase(entry.key, "@VALUES.") || StartsWithNoCase(entry.key, "@FLAGS.")) &&
            !used.count(ToUpper(entry.key)))
            faults.push_back(entry.key + ": used by no line");
    EXPECT_TRUE(faults.empty()) << Joined(faults);
}

// Where the game stores a signed byte, -1 reads as -1, and the values show their names.
TEST(ShippedTemplate, SignedFieldsReadMinusOneAndValuesTheirNames) {
    test::PromptRecorder quiet;
    PropertyCodec codec(Template());
    const struct {
        const char* record;
        const char* sub;
        Bytes data;
        std::vector<std::pair<std::string, std::string>> shown; // property, value or name
    } cases[] = {
        {"INFO", "DATA", {2, 0, 0, 0, 30, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0},
         {{"Type", "Greeting"}, {"Disposition", "30"}, {"Rank", "Any"}, {"Sex", "Any"}, {"PCRank", "Any"}}},
        {"INFO", "DATA", {0, 0, 0, 0, 0, 0, 0, 0, 3, 1, 0xFE, 0}, {{"Rank", "3"}, {"Sex", "Female"}, {"PCRank", "-2"}}},
        {"SPEL", "ENAM", {85, 0, 0xFF, 3, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         {{"Effect", "Absorb Attribute"}, {"Skill", "None"}, {"Attribute", "Agility"}, {"Range", "Target"}}},
        {"INFO", "SCVR", {'0', '1', '4', '6', '0'},
         {{"Type", "Function"}, {"Function", "Same faction"}, {"Comparison", "="}}},
        {"WEAP", "WPDT", test::Concat({Bytes(8, 0), Bytes{9, 0}}), {{"Type", "Marksman Bow"}}},
    };
    for (const auto& t : cases) {
        Properties props;
        ASSERT_TRUE(codec.Decode(t.record, t.sub, t.data, props));
        for (const auto& [name, shown] : t.shown) {
            const auto names = codec.NamesOf(t.record, t.sub, name);
            const std::string* named = names ? names->NameOf(props.Item(name)) : nullptr;
            EXPECT_EQ(named ? *named : props.Item(name).Text(), shown) << t.record << "." << t.sub << "." << name;
        }
    }
}

// Every description names a subrecord group; the subrecords of plug-ins and masters have one,
// and the tree and form show it after the four letters.
TEST(ShippedTemplate, SubrecordsOfPluginsAreDescribed) {
    const Group* descriptions = Template().FindGroup("@DESCRIPTION");
    ASSERT_NE(descriptions, nullptr);
    std::vector<std::string> faults;
    for (const auto& entry : descriptions->Variables)
        if (!Template().GroupExists(entry.value.Name) || TrimSpaces(entry.value.Value).empty())
            faults.push_back(entry.value.Name + " = " + entry.value.Value);
    // Saved-game records and the saved state of references, which nobody has documented yet.
    const std::set<std::string> savedGameOnly = {"CNTC", "CREC", "NPCC", "STLN", "QUES", "FMAP", "SPLM",
                                                 "JOUR", "REFR", "GAME", "KLST", "PCDT"};
    const std::set<std::string> undocumented = {"GMST.INVT", "REGN.WNAM", "CREA.INDX", "INFO.XNAM", "CELL.STPR",
                                                "CELL.MNAM", "CELL.ACSC", "CELL.ACSL", "CELL.AADT", "CELL.PRDT",
                                                "CELL.PWPC", "CELL.PWPS", "CELL.APUD", "CELL.CSSF", "CELL.ND3D",
                                                "CELL.LVCR"};
    for (const auto& g : Template().Groups()) {
        const auto parts = Split(g.value.Name, '.');
        if (parts.size() == 2 && IsRecordGroup(parts[0]) && !savedGameOnly.count(parts[0]) &&
            !undocumented.count(g.value.Name) && !descriptions->Variables.Exists(g.value.Name))
            faults.push_back(g.value.Name + ": no description");
    }
    EXPECT_TRUE(faults.empty()) << Joined(faults);
    EXPECT_EQ(SubrecordCaption(Template(), "NPC_", "NPDT_12"), "NPDT (NPC data, auto-calculated)");
    EXPECT_EQ(SubrecordCaption(Template(), "npc_", "FLAG"), "FLAG (NPC flags)");
    EXPECT_EQ(SubrecordCaption(Template(), "CELL", "NAME_NEXT"), "NAME (Object)");
    Config bare;
    EXPECT_EQ(SubrecordCaption(bare, "CELL", "NAME_NEXT"), "NAME (NAME_NEXT)");
    EXPECT_EQ(SubrecordCaption(bare, "NPC_", "FLAG"), "FLAG");
}

// Every lookup names a text property of the template; a text lookup names record types, a file
// lookup a folder and a filter, and book text a background that ships.
TEST(ShippedTemplate, LookupsNameTextPropertiesAndWhatTheyLookIn) {
    const std::set<std::string> folders = {".", "Meshes", "Icons", "Textures", "Sound", "BookArt"};
    const Group* lookups = Template().FindGroup("@TEXTLOOKUP");
    const Group* files = Template().FindGroup("@FILELOOKUP");
    const Group* html = Template().FindGroup("@HTML");
    ASSERT_TRUE(lookups && files && html);
    EXPECT_GT(lookups->Variables.Count(), 100u);
    std::vector<std::string> faults;
    for (const auto* group : {lookups, files, html})
        for (const auto& entry : group->Variables)
            if (const Variable* prop = PropertyLine(entry.value.Name); !prop || Type(*prop) != "STRING")
                faults.push_back(entry.value.Name + ": names no text property");
    std::set<std::string> holders;
    for (const auto& entry : lookups->Variables) {
        const Variable& v = entry.value;
        std::set<std::string> seen;
        for (const auto& target : Split(v.Value, ',')) {
            if (!IsRecordGroup(target) || !Template().GroupExists(target))
                faults.push_back(v.Name + ": '" + target + "' is no record type of the template");
            if (!seen.insert(ToUpper(target)).second) faults.push_back(v.Name + ": " + target + " twice");
        }
        // The reference index keeps one lookup per record type and four-character subrecord.
        auto parts = Split(v.Name, '.');
        if (parts.size() == 3 && !holders.insert(ToUpper(parts[0] + "." + parts[1].substr(0, 4))).second)
            faults.push_back(v.Name + ": a second lookup in the same subrecord");
    }
    for (const auto& entry : files->Variables) {
        const Variable& v = entry.value;
        if (!folders.count(std::string(v.Value1()))) faults.push_back(v.Name + ": folder " + std::string(v.Value1()));
        // The value is split at commas, so a comma inside the filter would cut it short.
        std::string filter(v.Value2());
        if (std::count(v.Value.begin(), v.Value.end(), ',') != 1 || filter.empty() || filter.back() != '|' ||
            std::count(filter.begin(), filter.end(), '|') != 2)
            faults.push_back(v.Name + ": filter " + v.Value);
    }
    for (const auto& entry : html->Variables)
        if (!fs::is_regular_file(DataDir() / std::string(entry.value.Value1())))
            faults.push_back(entry.value.Name + ": no background " + entry.value.Value);
    EXPECT_TRUE(html->Variables.Exists("BOOK.TEXT.Text"));
    EXPECT_TRUE(faults.empty()) << Joined(faults);
}

TEST(NewFileTemplates, BlankPluginAndMasterHaveAValidHeaderOnly) {
    for (const auto& [name, fileType] : std::map<std::string, int>{{"Blank Plugin.esp", 0}, {"Blank Master.esm", 1}}) {
        SCOPED_TRACE(name);
        // Version 1.3, the file type, empty author and description, no records.
        Bytes expected = test::HeaderRecord(0, fileType);
        std::fill(expected.begin() + 32, expected.begin() + 32 + 288, 0);
        EXPECT_EQ(test::ReadBytes(DataDir() / "Templates" / name), expected);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(DataDir() / "Templates"), fs::directory_iterator{}), 2);
}

// What the record tree shows for each record (that every one has an ID, "vellum-cli check" shows):
// a readable ID, one per record where the ID is built to tell records apart.
TEST(ShippedTemplateOnSharedFiles, EveryRecordOfATypeWithAnIdHasAReadableOne) {
    VELLUM_REQUIRE_SHARED();
    PropertyCodec codec(Template());

    const std::set<std::string> distinct = {"CELL", "LAND", "PGRD", "NPCC", "CREC", "CNTC", "SKIL", "MGEF"};
    std::set<std::string> faults;
    std::map<std::string, std::string> sample; // file + type -> first ID
    for (const auto& file : test::SharedPlugins()) {
        const std::string name = file.filename().string();
        std::set<std::string> ids;
        const Bytes bytes = test::ReadBytes(file);
        for (const test::RawRecord& raw : test::RawRecords(bytes)) {
            const std::string& rec = raw.type;
            const std::string id = codec.ReadID(rec, raw.data);
            if (codec.RecordInfo(rec).Sources.empty()) continue;
            sample.try_emplace(name + " " + rec, id);
            if (std::any_of(id.begin(), id.end(), [](char c) { return static_cast<unsigned char>(c) < 32; }))
                faults.insert(name + " " + rec + ": control character in " + id);
            if (distinct.count(rec) && !ids.insert(rec + " " + id).second)
                faults.insert(name + " " + rec + ": two records share " + id);
        }
    }
    EXPECT_TRUE(faults.empty()) << Joined(std::vector<std::string>(faults.begin(), faults.end()));

    // The ID forms: interior cells by name, exterior cells and landscape by name and hexadecimal
    // grid, indexed types by hexadecimal index, saved actors by ID and index.
    const std::map<std::string, std::string> expected = {
        {"deeper_dagoth_ur.esp CELL", "0000000500000008"},
        {"deeper_dagoth_ur.esp LAND", "0000000400000008"},
        {"firemoth.esm CELL", "Seyda NeenFFFFFFFEFFFFFFF7"},
        {"rfdsheartchamber.esp PGRD", "Akulakhan's Chamber0000000000000000"},
        {"patch_for_purists.esm SKIL", "0000000A"},
        {"patch_for_purists.esm MGEF", "0000002A"},
        {"kendo0000.ess CREC", "mudcrab00000004"},
        {"kendo0000.ess NPCC", "PlayerSaveGame"},
        {"kendo0000.ess CNTC", "chest_small_02_ingfine200000000"},
        {"kendo0000.ess REFR", "PlayerSaveGame"},
        {"animal_tamer.esp SSCR", "167271109452830041"},
        {"blank.esm GMST", "gmst01"},
        {"sneak.omwaddon GMST", "fSneakUseDist"},
    };
    for (const auto& [where, id] : expected) EXPECT_EQ(sample[where], id) << where;
}
