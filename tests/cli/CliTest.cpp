#include "../model/ModelFixture.h"
#include "CliRunner.h"

#include <gtest/gtest.h>

#include <fstream>

namespace vellum::test {
namespace {

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::ofstream(dir / "t.ini", std::ios::binary) << kModelTemplate;
        templ = (dir / "t.ini").string();
    }

    CliRun Cli(const std::string& args) { return RunCli(args, dir.path()); }

    std::string Write(const std::string& name, const Bytes& bytes) {
        WriteBytes(dir / name, bytes);
        return (dir / name).string();
    }

    TempDir dir;
    std::string templ;
};

Bytes SmallPlugin(std::int32_t announced) {
    return Concat({HeaderRecord(announced, 0, {{"Morrowind.esm", 79837557}}),
                   RecordBytes("GMST", {{"NAME", Text("sOne")}, {"STRV", Text("x", false)}}),
                   RecordBytes("GMST", {{"STRV", Text("no id", false)}}),
                   RecordBytes("NPC_", {{"NAME", Text("guard")}, {"NPDT", Bytes(12, 0)}, {"ZZZZ", Bytes(3, 1)}})});
}

TEST_F(CliTest, HelpOnTheToolAndEveryCommand) {
    CliRun r = Cli("--help");
    EXPECT_EQ(r.status, 0);
    for (const char* command : {"check", "resave", "stats", "dump", "find", "index", "refs", "delete", "rename"}) {
        EXPECT_NE(r.out.find(std::string("  ") + command + " "), std::string::npos) << r.out;
        CliRun c = Cli(std::string(command) + " --help");
        EXPECT_EQ(c.status, 0);
        EXPECT_EQ(c.out.rfind(std::string("usage: vellum-cli ") + command, 0), 0u) << c.out;
    }
    EXPECT_EQ(Cli("frobnicate").status, 2);
    EXPECT_EQ(Cli("check --bogus x").status, 2);
}

TEST_F(CliTest, CheckPrintsOneLineOfCountsPerFileAndFailsWhenOneDoesNotLoad) {
    const std::string a = Write("a.esp", SmallPlugin(3));
    const std::string none = (dir / "none.esp").string();
    CliRun r = Cli("check --template " + Quote(templ) + " " + Quote(a) + " " + Quote(none));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, a + ": records=3 subrecords=9 unknown=2 casterrors=0 noid=1\n" + none +
                         ": records=0 subrecords=0 unknown=0 casterrors=0 noid=0\n");
    EXPECT_NE(r.err.find("Error: The file does not exist"), std::string::npos) << r.err;
    EXPECT_EQ(Cli("check --template " + Quote(templ) + " " + Quote(Write("b.esp", SmallPlugin(5)))).status, 0);
}

TEST_F(CliTest, ResaveWritesTheSameBytesAndKeepsABackup) {
    const std::string in = Write("in.esp", SmallPlugin(3));
    const std::string out = Write("out.esp", Bytes{1, 2, 3});
    CliRun r = Cli("resave --backup --template " + Quote(templ) + " " + Quote(in) + " " + Quote(out));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadBytes(out), ReadBytes(in));
    EXPECT_EQ(ReadBytes(out + ".bak"), (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_EQ(Cli("resave --template " + Quote(templ) + " " + Quote(in)).status, 2);
}

TEST_F(CliTest, StatsPrintsTheFigures) {
    const std::string a = Write("a.esp", SmallPlugin(3));
    CliRun r = Cli("stats --template " + Quote(templ) + " " + Quote(a));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "File: a.esp\nSize: " + std::to_string(ReadBytes(a).size()) +
                         " bytes\nType: Plugin file\nRecords: 3\nRecords per type:\n  TES3 1\n  GMST 2\n  NPC_ 1\n"
                         "Dependencies:\n  Morrowind.esm\n");
}

} // namespace
} // namespace vellum::test
