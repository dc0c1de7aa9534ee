#include "CliRunner.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace vellum::test {
namespace {

namespace fs = std::filesystem;

class DumpFindCli : public ::testing::Test {
protected:
    CliRun Cli(const std::string& args) {
        return RunCli(args + " --home " + Quote(home.path().string()) + " --template " + Quote(templ), home.path());
    }

    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> out;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) out.push_back(line);
        return out;
    }

    std::string Plugin(const char* name) { return Quote((PluginsDir() / name).string()); }

    TempDir home;
    std::string templ = (SourceDir() / "data" / "ESTemplate.ini").string();
};

TEST_F(DumpFindCli, DumpWritesIntoTheDumpsFolderAndPrintsThePath) {
    VELLUM_REQUIRE_SHARED();
    CliRun r = Cli("dump --mode 2 --tabs --headers " + Plugin("gr_keys.esp"));
    ASSERT_EQ(r.status, 0);
    fs::path written = home.path() / "Dumps" / "gr_keys.esp.txt";
    EXPECT_EQ(r.out, written.string() + "\n");
    std::ifstream in(written, std::ios::binary);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, "Record Name:TES3 Size:421 Header1:0 Flags:0\tSUBRECORD Name:HEDR Size:300\t"
                     "PROPERTY Version:1.3\r");

    r = Cli("dump --mode=1 --bytes --trim " + Plugin("gr_keys.esp"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(Cli("dump --mode 3 " + Plugin("gr_keys.esp")).status, 2);
    EXPECT_EQ(Cli("dump --mode").status, 2);
    EXPECT_EQ(Cli("dump " + Quote((home.path() / "none.esp").string())).status, 1);
}

TEST_F(DumpFindCli, FindPrintsTabSeparatedRows) {
    VELLUM_REQUIRE_SHARED();
    CliRun r = Cli("find " + Plugin("gr_keys.esp") + " " + Plugin("flin.esp") + " --type SCPT AlitKeyAddScript");
    ASSERT_EQ(r.status, 0);
    auto rows = Lines(r.out);
    ASSERT_FALSE(rows.empty());
    for (const std::string& row : rows) {
        EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), 6) << row;
        EXPECT_NE(row.find("\tSCPT\t"), std::string::npos) << row;
    }
    EXPECT_EQ(rows[0].rfind((PluginsDir() / "gr_keys.esp").string() + "\tSCPT1\tSCHD\tName\tSCPT\t", 0), 0u);

    auto whole = Lines(Cli("find --whole --case " + Plugin("gr_keys.esp") + " AlitKeyAddScript").out);
    auto loose = Lines(Cli("find " + Plugin("gr_keys.esp") + " alitkeyaddscript").out);
    EXPECT_LT(whole.size(), loose.size()) << "the script text holds the name too";
    EXPECT_TRUE(Lines(Cli("find --case --whole " + Plugin("gr_keys.esp") + " alitkeyaddscript").out).empty());

    auto listed = Lines(Cli("find --sub NAME " + Plugin("flin.esp")).out);
    ASSERT_FALSE(listed.empty());
    EXPECT_NE(listed[0].find("\tNAME\t\t"), std::string::npos) << "a subrecord row has no property";
    EXPECT_EQ(Cli("find " + Plugin("flin.esp")).status, 2) << "nothing to search for";
}

} // namespace
} // namespace vellum::test
