#include "../index/IntegrityFixture.h"
#include "CliRunner.h"

#include "index/References.h"
#include "model/esfile.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

namespace vellum::test {
namespace {

std::filesystem::path ShippedTemplate() { return SourceDir() / "data" / "ESTemplate.ini"; }

std::multiset<std::string> Lines(const std::string& text, const std::string& prefix = {}) {
    std::multiset<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        if (l.rfind(prefix, 0) == 0) out.insert(l);
    return out;
}

class IntegrityCli : public ::testing::Test {
protected:
    CliRun Cli(const std::string& args) {
        return RunCli(args + " --template " + Quote(ShippedTemplate().string()) + " --home " +
                          Quote(home.path().string()),
                      home.path());
    }
    TempDir home;
};

// "index" writes both index files of every shared plugin; "refs" prints what the references
// browser lists (checked against a full decode in RealDataTest).
TEST_F(IntegrityCli, IndexEverySharedPluginAndRefsPrintsTheBrowsersRows) {
    VELLUM_REQUIRE_SHARED();
    for (const auto& plugin : SharedPlugins()) {
        SCOPED_TRACE(plugin.filename().string());
        CliRun index = Cli("index " + Quote(plugin.string()));
        ASSERT_EQ(index.status, 0) << index.err;
        EXPECT_TRUE(std::regex_match(index.out, std::regex(R"(refs=\d+ categories=\d+ ids=\d+\n)"))) << index.out;
        const std::string title = plugin.filename().string();
        EXPECT_TRUE(std::filesystem::exists(home.path() / "Indices" / (title + ".rdx")));
        EXPECT_TRUE(std::filesystem::exists(home.path() / "Indices" / (title + ".idx")));
    }
    IntegrityTest t{ShippedTemplate()};
    esfile& f = t.File(t.OpenPath(PluginsDir() / "firemoth.esm"));
    std::multiset<std::string> rows;
    for (const ReferenceRow& row : BrowseReferences(f, t.files->Indexer(), FindRecordByID(f, "fm_aronil"), nullptr))
        rows.insert(std::string(row.Type == ReferenceRow::Ancestor ? "ancestor " : "descendant ") + row.RecordType +
                    " " + row.ID + " " + row.SubrecordType + "." + row.PropertyName);
    CliRun refs = Cli("refs " + Quote((PluginsDir() / "firemoth.esm").string()) + " fm_aronil");
    ASSERT_EQ(refs.status, 0) << refs.err;
    EXPECT_GT(rows.size(), 1u);
    EXPECT_EQ(Lines(refs.out), rows);
}

TEST_F(IntegrityCli, DeleteAndRenameWriteAFileThatReloads) {
    VELLUM_REQUIRE_SHARED();
    const std::string plugin = (PluginsDir() / "firemoth.esm").string();
    const std::string deleted = (home.path() / "deleted.esm").string();
    CliRun del = Cli("delete " + Quote(plugin) + " fm_aronil --out " + Quote(deleted));
    ASSERT_EQ(del.status, 0) << del.err;
    std::istringstream lines(del.out);
    std::string first;
    std::getline(lines, first);
    EXPECT_EQ(first.rfind("Delete 0 NPC_ fm_aronil NPC_", 0), 0u) << first;
    EXPECT_NE(del.out.find("Delete 1 INFO "), std::string::npos) << del.out;
    CliRun gone = Cli("refs " + Quote(deleted) + " fm_aronil");
    EXPECT_EQ(gone.status, 1);
    EXPECT_NE(gone.err.find("has the ID 'fm_aronil'"), std::string::npos) << gone.err;

    const std::string renamed = (home.path() / "renamed.esm").string();
    CliRun ren = Cli("rename " + Quote(plugin) + " fm_aronil fm_aronil_2 --out " + Quote(renamed));
    ASSERT_EQ(ren.status, 0) << ren.err;
    EXPECT_NE(ren.out.find("ONAM  Actor: fm_aronil -> fm_aronil_2\n"), std::string::npos) << ren.out;
    CliRun refs = Cli("refs " + Quote(renamed) + " fm_aronil_2");
    ASSERT_EQ(refs.status, 0) << refs.err;
    EXPECT_EQ(Lines(refs.out, "descendant ").size(), Lines(ren.out).size())
        << "every rewritten reference now names the new ID";
}

TEST_F(IntegrityCli, BadInputGetsAClearMessage) {
    const std::string none = (home.path() / "none.esp").string();
    CliRun missing = Cli("index " + Quote(none));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("Error: The file does not exist"), std::string::npos) << missing.err;

    WriteBytes(home.path() / "a.esp", SampleFile());
    const std::string a = (home.path() / "a.esp").string();
    CliRun unknown = Cli("refs " + Quote(a) + " nobody");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("no record of " + a + " has the ID 'nobody'"), std::string::npos) << unknown.err;
    EXPECT_EQ(Cli("delete " + Quote(a) + " gold").status, 2) << "--out is required";
    EXPECT_EQ(Cli("rename " + Quote(a) + " gold --out x").status, 2);
    EXPECT_EQ(Cli("index --out").status, 2);
}

} // namespace
} // namespace vellum::test
