// The text form over real files: export and import through vellum-cli and the core, checked on
// raw bytes and with esmtool as an outside reader.

#include "../cli/CliRunner.h"
#include "convert/JsonExport.h"
#include "convert/JsonImport.h"
#include "template/Config.h"
#include "template/PropertyCodec.h"

#include "TestRecords.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace vellum::test {
namespace {

std::string Shipped() { return Quote((BinDir() / "ESTemplate.ini").string()); }

class TextFormRoundTrip : public ::testing::TestWithParam<std::filesystem::path> {};

TEST_P(TextFormRoundTrip, ExportThenImportGivesTheSameBytes) {
    PromptRecorder prompt;
    Config templ;
    templ.OpenText(ShippedTemplateText());
    const PropertyCodec codec(templ);
    TempDir dir;
    ASSERT_TRUE(JsonExport(codec, 1252).Run(GetParam(), dir / "f.json")) << ::testing::PrintToString(prompt.Texts());
    ASSERT_TRUE(JsonImport(codec, 1252).Run(dir / "f.json", dir / "f.back")) << ::testing::PrintToString(prompt.Texts());
    EXPECT_EQ(ReadBytes(dir / "f.back"), ReadBytes(GetParam()));
    EXPECT_TRUE(prompt.calls.empty()) << prompt.calls.front().text;
    EXPECT_EQ(FilesIn(dir.path()), (std::set<std::string>{"f.json", "f.back"}));
}

INSTANTIATE_TEST_SUITE_P(Shared, TextFormRoundTrip, ::testing::ValuesIn(SharedPlugins()), PluginTestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(TextFormRoundTrip);

// Replaces the first `from` by `to`; fails the test when it is not there.
void Edit(std::string& text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
}

// Removes the record whose text holds `marker`: its line "{"type": ..." to its "]}," line.
void RemoveRecord(std::string& text, const std::string& marker) {
    const std::size_t at = text.find(marker);
    ASSERT_NE(at, std::string::npos) << marker;
    const std::size_t begin = text.rfind("\n    {\"type\"", at);
    const std::size_t end = text.find("\n    ]},", at);
    ASSERT_NE(end, std::string::npos);
    text.erase(begin, end + 8 - begin);
}

TEST(TextForm, HandEditsImportWithTheHeaderCountBroughtUpToDate) {
    VELLUM_REQUIRE_SHARED();
    const std::string added = R"(
    {"type": "GLOB", "flags": 0, "subrecords": [
      {"sub": "NAME", "props": {"ID": "vellum_added"}},
      {"sub": "FNAM", "props": {"Type": "f"}},
      {"sub": "FLTV", "props": {"Value": 2.5}}
    ]},)";
    const struct {
        std::string file;
        std::function<void(std::string&)> edit;
        std::size_t records; // after the edit, header included
        std::vector<std::string> dumped, gone; // esmtool lines present and absent
    } cases[] = {
        {"fast_travel_tr_v2.esp",
         [&](std::string& t) {
             Edit(t, R"("Value": "Max Sale")", R"("Value": "Seller Max")");
             // By names, in any case: the spell type and one flag more.
             Edit(t, R"("Type": "Curse", "Cost": 0, "Flags": ["Always Succeeds"])",
                  R"("Type": "ability", "Cost": 0, "Flags": ["PC start spell", "Always Succeeds"])");
             RemoveRecord(t, R"("ID": "sDeleteNote")");
             RemoveRecord(t, R"("ID": "sEditNote")");
             Edit(t, "\n    ]},", "\n    ]}," + added);
         },
         133,
         {"Record: GLOB 'vellum_added'", "Record: GMST 'sMaxSale'", "  variant string: \"Seller Max\"",
          "  variant float: 2.5", "  Type: Abilities (1)", "  Flags: PCStart Always (0x00000006)"},
         {"Record: GMST 'sDeleteNote'", "Record: GMST 'sEditNote'", "  variant string: \"Max Sale\"", "  Type: Curse (4)"}},
        // Its header announces 10 of 6 records: kept while the count stays, set once it changes.
        {"blank.esp", [](std::string&) {}, 7, {}, {}},
        {"blank.esp", [](std::string& t) { RemoveRecord(t, R"("ID": "gmst15")"); }, 6, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file + " to " + std::to_string(c.records) + " records");
        TempDir dir;
        const auto original = PluginsDir() / c.file;
        CliRun r = RunCli("export --template " + Shipped() + " " + Quote(original.string()) + " --out " +
                              Quote((dir / "f.json").string()),
                          dir.path());
        ASSERT_EQ(r.status, 0) << r.err;
        std::string json = ReadText(dir / "f.json");
        c.edit(json);
        WriteBytes(dir / "f.json", Bytes(json.begin(), json.end()));
        r = RunCli("import --template " + Shipped() + " " + Quote((dir / "f.json").string()) + " --out " +
                       Quote((dir / "f.esp").string()),
                   dir.path());
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");

        const Bytes before = ReadBytes(original), after = ReadBytes(dir / "f.esp");
        const std::vector<RawRecord> records = RawRecords(after);
        ASSERT_EQ(records.size(), c.records);
        const bool changed = c.records != RawRecords(before).size();
        EXPECT_EQ(AnnouncedRecords(after), changed ? c.records - 1 : AnnouncedRecords(before));
        if (c.dumped.empty() && !changed) {
            EXPECT_EQ(after, before);
        }

        // esmtool stops at blank.esp's synthetic settings, so it reads the real plug-in only.
        const std::optional<std::string> dump = c.dumped.empty() ? std::nullopt : EsmtoolDump(dir / "f.esp");
        if (!dump) continue;
        EXPECT_EQ(DumpLines(*dump, "Record: ").size(), c.records - 1) << *dump;
        EXPECT_TRUE(DumpLines(*dump, "ERROR").empty()) << *dump;
        for (const std::string& line : c.dumped) EXPECT_EQ(DumpLines(*dump, line).size(), 1u) << line;
        for (const std::string& line : c.gone) EXPECT_TRUE(DumpLines(*dump, line).empty()) << line;
    }
}

TEST(TextForm, OddFilesRoundTripAndBadDocumentsWriteNothing) {
    TempDir dir;
    // Trailing bytes after the last record, record data that is no list of subrecords, a
    // subrecord the template does not know.
    const Bytes odd = Concat({HeaderRecord(5), RecordBytes("GMST", {{"NAME", Text("sX")}, {"ZZZZ", Bytes{1}}}),
                              Bytes{'M', 'I', 'S', 'C', 3, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 'a', 'b', 'c'},
                              Bytes{'x', 'y'}});
    WriteBytes(dir / "odd.esp", odd);
    CliRun r = RunCli("export --template " + Shipped() + " " + Quote((dir / "odd.esp").string()) + " --out " +
                          Quote((dir / "odd.json").string()),
                      dir.path());
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string json = ReadText(dir / "odd.json");
    EXPECT_NE(json.find(R"({"type": "MISC", "flags": 1024, "hex": "616263"})"), std::string::npos) << json;
    EXPECT_NE(json.find(R"({"sub": "ZZZZ", "hex": "01"})"), std::string::npos) << json;
    EXPECT_NE(json.find("\"trailing\": \"7879\""), std::string::npos) << json;
    // "-" is standard output, as git's textconv reads it.
    EXPECT_EQ(RunCli("export --template " + Shipped() + " --out - " + Quote((dir / "odd.esp").string()), dir.path()).out,
              json);
    // Written over a link, as a save is: the file it names is replaced and keeps its mode.
    WriteBytes(dir / "real.esp", Bytes{7});
    std::filesystem::permissions(dir / "real.esp", std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::filesystem::create_symlink("real.esp", dir / "odd.back");
    r = RunCli("import --template " + Shipped() + " " + Quote((dir / "odd.json").string()) + " --out " +
                   Quote((dir / "odd.back").string()),
               dir.path());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadBytes(dir / "real.esp"), odd);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "odd.back"));
    EXPECT_EQ(std::filesystem::status(dir / "real.esp").permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    const std::string good = json;
    const struct {
        std::string json;
        std::string error;
    } cases[] = {
        {good.substr(0, good.find("\"trailing\"")), "unexpected end of the text"},
        {"\x01\x02garbage", "line 1, column 1: expected '{'"},
        {R"({"format": "other", "records": []})", "line 1: this is not Vellum's text form of a data file"},
        {R"({"records": []})", "it has no \"format\""},
        {R"({"format": "vellum-tes3", "version": 9, "records": []})", "of a later version (9)"},
        {R"({"format": "vellum-tes3", "records": [], "encoding": 1252})", "\"encoding\" has to come before"},
        {R"({"format": "vellum-tes3", "encoding": 437, "records": []})", "code page 437 is not one of"},
        {"{\"format\": \"vellum-tes3\", \"records\": [\n{\"type\": \"GMST\", \"subrecords\": [\n"
         "{\"sub\": \"NAME\", \"props\": {\"Name\": \"x\"}}]}]}",
         "line 3: record 1 (GMST): subrecord 1 (NAME): the format template's group GMST.NAME has no property 'Name'"},
        {"{\"format\": \"vellum-tes3\", \"records\": [{\"type\": \"SPEL\", \"subrecords\": [\n"
         "{\"sub\": \"NAME\", \"props\": {\"ID\": \"x\"}},\n"
         "{\"sub\": \"SPDT\", \"props\": {\"Type\": \"Spell\", \"Cost\": 0, \"Flags\": [\"Fast\"]}}]}]}",
         "line 3: record 1 (SPEL): subrecord 2 (SPDT): 'Flags' has no flag named 'Fast' in the format template's list Spell"},
        {"{\"format\": \"vellum-tes3\", \"records\": [{\"type\": \"GMST\", \"flag\": 0, \"hex\": \"\"}]}",
         "record 1 (GMST): a record has no member \"flag\""},
        {"{\"format\": \"vellum-tes3\", \"records\": [{\"type\": \"GMST\", \"flags\": 0, \"hex\": \"\"},]}",
         "line 1, column 79: unexpected character"},
        {"{\"format\": \"vellum-tes3\",\n\"records\": [] \"encoding\": 1252}", "line 2, column 15: expected ','"},
        {"{\"format\": \"vellum-tes3\", \"records\": [{\"type\": \"GMST\", \"flags\": 4294967296, \"hex\": \"\"}]}",
         "\"flags\" needs a whole number from -2147483648 to 4294967295"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json.substr(0, 60));
        WriteBytes(dir / "bad.json", Bytes(c.json.begin(), c.json.end()));
        WriteBytes(dir / "keep.esp", Bytes{7});
        r = RunCli("import --template " + Shipped() + " " + Quote((dir / "bad.json").string()) + " --out " +
                       Quote((dir / "keep.esp").string()),
                   dir.path());
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("Nothing was written."), std::string::npos) << r.err;
        EXPECT_EQ(ReadBytes(dir / "keep.esp"), Bytes{7});
    }
    EXPECT_EQ(FilesIn(dir.path()).count("keep.esp.vellum-tmp"), 0u);
    r = RunCli("import " + Quote((dir / "none.json").string()) + " --out " + Quote((dir / "x.esp").string()), dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("does not exist"), std::string::npos) << r.err;
    EXPECT_EQ(RunCli("export " + Quote((dir / "odd.esp").string()), dir.path()).status, 2);
}

} // namespace
} // namespace vellum::test
