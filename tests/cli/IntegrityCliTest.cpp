// The commands over the shipped template and the shared files: each is wired to the core and
// prints its rows; what the rows hold is checked by the core's own tests.
#include "../index/IntegrityFixture.h"
#include "CliRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <fstream>
#include <set>

namespace vellum::test {
namespace {

std::multiset<std::string> Lines(const std::string& text, const std::string& prefix = {}) {
    std::multiset<std::string> out;
    for (const std::string& l : OutputLines(text))
        if (l.rfind(prefix, 0) == 0) out.insert(l);
    return out;
}

class IntegrityCli : public ::testing::Test {
protected:
    CliRun Cli(const std::string& args) {
        return RunCli(args + " " + ShippedTemplateOption() + " --home " + Quote(home.path().string()), home.path());
    }
    static std::string Plugin(const char* name) { return Quote((PluginsDir() / name).string()); }
    TempDir home;
};

TEST_F(IntegrityCli, IndexWritesBothIndexFiles) {
    VELLUM_REQUIRE_SHARED();
    CliRun index = Cli("index " + Plugin("firemoth.esm"));
    ASSERT_EQ(index.status, 0) << index.err;
    EXPECT_TRUE(std::regex_match(index.out, std::regex(R"(refs=\d+ categories=\d+ ids=\d+\n)"))) << index.out;
    std::set<std::string> kinds;
    for (const std::string& name : FilesIn(home / "Indices"))
        if (name.rfind("firemoth.esm.", 0) == 0) kinds.insert(std::filesystem::path(name).extension().string());
    EXPECT_EQ(kinds, (std::set<std::string>{".rdx", ".idx"}));
}

// With a plug-in that uses the master loaded beside it, delete and rename reach the plug-in,
// write it into --out-dir and say what still names the ID; refs lists rows of both files.
TEST_F(IntegrityCli, WithFilesAreSearchedAndWrittenToTheOutputFolder) {
    const Bytes master = Concat({HeaderRecord(3), RecordBytes("MISC", {{"NAME", Text("gold")}}),
                                 RecordBytes("DIAL", {{"NAME", Text("t")}}),
                                 RecordBytes("INFO", {{"INAM", Text("i1")}, {"PNAM", Text("")}, {"NNAM", Text("")},
                                                      {"BNAM", Text("player->AddItem gold 1", false)}})});
    const Bytes plugin = Concat({HeaderRecord(1, 1, {{"M.esm", 0}}),
                                 RecordBytes("CONT", {{"NAME", Text("chest")}, {"NPCO", Npco(1, "gold")}})});
    WriteBytes(home / "m.esm", master);
    WriteBytes(home / "p.esp", plugin);
    const std::string m = Quote((home / "m.esm").string()), p = Quote((home / "p.esp").string());
    const std::string out = Quote((home / "out").string());

    CliRun refs = Cli("refs " + m + " gold --with " + p);
    ASSERT_EQ(refs.status, 0) << refs.err;
    EXPECT_EQ(Lines(refs.out), (std::multiset<std::string>{"descendant CONT chest NPCO.Item in p.esp",
                                                           "mention INFO i1 BNAM.ResultScript"}));

    CliRun del = Cli("delete " + m + " gold --out " + Quote((home / "m2.esm").string()) + " --with " + p +
                     " --out-dir " + out);
    ASSERT_EQ(del.status, 0) << del.err;
    EXPECT_NE(del.out.find("\nDelete 1 CONT chest CONT1/NPCO in p.esp\n"), std::string::npos) << del.out;
    EXPECT_EQ(Lines(del.out, "unchanged: "),
              (std::multiset<std::string>{"unchanged: m.esm/INFO3 (i1)/BNAM result script names the ID"}));
    EXPECT_EQ(PlacesNaming(ReadBytes(home / "out" / "p.esp"), "gold"), std::vector<std::string>{});
    EXPECT_EQ(ReadBytes(home / "p.esp"), plugin) << "the input is left alone";

    CliRun ren = Cli("rename " + m + " gold coin --out " + Quote((home / "m3.esm").string()) + " --with " + p +
                     " --out-dir " + out);
    ASSERT_EQ(ren.status, 0) << ren.err;
    EXPECT_EQ(Lines(ren.out), (std::multiset<std::string>{"m.esm/INFO3 (i1)/BNAM  ResultScript: gold -> coin",
                                                          "p.esp/CONT1 (chest)/NPCO  Item: gold -> coin"}));
    EXPECT_EQ(PlacesNaming(ReadBytes(home / "out" / "p.esp"), "coin"), std::vector<std::string>{"CONT chest NPCO"});
    EXPECT_EQ(Cli("rename " + m + " gold coin --out x --with " + p).status, 2) << "--with needs --out-dir";
}

TEST_F(IntegrityCli, DumpWritesIntoTheDumpsFolderAndFindPrintsTabSeparatedRows) {
    VELLUM_REQUIRE_SHARED();
    CliRun r = Cli("dump --mode=2 --tabs --headers " + Plugin("gr_keys.esp"));
    ASSERT_EQ(r.status, 0);
    const std::filesystem::path written = home / "Dumps" / "gr_keys.esp.txt";
    EXPECT_EQ(r.out, written.string() + "\n");
    std::ifstream in(written, std::ios::binary);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, "Record Name:TES3 Size:421 Header1:0 Flags:0\tSUBRECORD Name:HEDR Size:300\t"
                     "PROPERTY Version:1.3\r");
    EXPECT_EQ(Cli("dump --mode 1 --bytes --trim " + Plugin("gr_keys.esp")).status, 0);

    r = Cli("find --whole --case --type SCPT --sub SCHD " + Plugin("gr_keys.esp") + " " + Plugin("flin.esp") +
            " AlitKeyAddScript");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind((PluginsDir() / "gr_keys.esp").string() + "\tSCPT1\tSCHD\tName\tSCPT\t", 0), 0u) << r.out;
    for (const std::string& row : Lines(r.out)) EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), 6) << row;
}

TEST_F(IntegrityCli, BadInputGetsAClearMessage) {
    const std::string none = (home / "none.esp").string();
    for (const char* command : {"index ", "dump "}) {
        CliRun missing = Cli(command + Quote(none));
        EXPECT_EQ(missing.status, 1) << command;
        EXPECT_NE(missing.err.find("Error: The file does not exist"), std::string::npos) << missing.err;
    }
    WriteBytes(home / "a.esp", SampleFile());
    const std::string a = (home / "a.esp").string();
    CliRun unknown = Cli("refs " + Quote(a) + " nobody");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("no record of " + a + " has the ID 'nobody'"), std::string::npos) << unknown.err;
    for (const std::string usage : {"delete " + Quote(a) + " gold", "rename " + Quote(a) + " gold --out x",
                                    std::string("index --out"), "dump --mode 3 " + Quote(a), std::string("dump --mode"),
                                    "find " + Quote(a)})
        EXPECT_EQ(Cli(usage).status, 2) << usage;
}

} // namespace
} // namespace vellum::test
