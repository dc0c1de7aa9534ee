#include "template/DataFolder.h"
#include "template/DataPaths.h"
#include "template/OpenMWConfig.h"

#include "TestSupport.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace vellum;
using vellum::test::TempDir;
namespace fs = std::filesystem;

namespace {

void Touch(const fs::path& file) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "x";
}

} // namespace

TEST(OpenMWConfig, QuotingEscapesReplaceAndDataFolders) {
    const OpenMWConfig cfg(
        "# comment\r\n"
        "data=\"/games/Morrowind/Data Files\"\r\n"
        "content=Morrowind.esm\n"
        "data-local=\"/local\"\n"
        "  data = \"/odd/R&&D &\"quoted&\" name\" trailing\n"
        "data=/plain/path\n"
        "data=\"relative/mods\"\n"
        "data=\n"
        "not a setting\n"
        "=no key\n"
        "data=\"unterminated\n"
        "data=?userdata?data\n"
        "content=Tribunal.esm\n"
        "replace=content\n"
        "content=Bloodmoon.esm\n",
        "/home/u/.config/openmw");
    EXPECT_EQ(cfg.DataFolders(),
              (std::vector<fs::path>{"/games/Morrowind/Data Files", "/odd/R&D \"quoted\" name", "/plain/path",
                                     "/home/u/.config/openmw/relative/mods", "/home/u/.config/openmw/unterminated",
                                     OpenMWConfig::UserDataFolder() / "data", "/local"}))
        << "data-local comes last, as it wins";
    EXPECT_EQ(cfg.Values("content"), std::vector<std::string>{"Bloodmoon.esm"}) << "replace= drops the ones before";
    EXPECT_TRUE(OpenMWConfig::Read("/no/such/openmw.cfg").Entries().empty());
}

// The folders a master is looked for in: a later one wins, letter case aside.
TEST(DataPaths, LaterFolderWinsAndCaseIsIgnored) {
    TempDir dir;
    const fs::path data = dir / "Data Files", mods = dir / "mods", cfg = dir / "openmw.cfg";
    Touch(data / "Morrowind.esm");
    Touch(data / "Tribunal.ESM");
    Touch(data / "Both.esp");
    Touch(mods / "both.ESP");
    Touch(mods / "Only.esp");
    std::ofstream(cfg) << "data=\"" << data.string() << "\"\ndata=mods\n";
    const DataPaths paths = DataPaths::ForGame(data.string() + "/", cfg);
    EXPECT_EQ(paths.Folders(), (std::vector<fs::path>{data, mods})) << "the data folder counts once";
    EXPECT_EQ(paths.Find("morrowind.esm"), data / "Morrowind.esm");
    EXPECT_EQ(paths.Find("tribunal.esm"), data / "Tribunal.ESM");
    EXPECT_EQ(paths.Find("BOTH.esp"), mods / "both.ESP");
    EXPECT_EQ(paths.Find("missing.esm"), std::nullopt);
    EXPECT_EQ(paths.Find("../mods/Only.esp"), std::nullopt);
    EXPECT_EQ(paths.Files(), (std::vector<fs::path>{mods / "both.ESP", data / "Morrowind.esm", mods / "Only.esp",
                                                    data / "Tribunal.ESM"}));
    EXPECT_EQ(DataPaths({data / "missing"}).Files(), std::vector<fs::path>{});
}

TEST(DataFolder, OrderOfTheSources) {
    TempDir dir;
    fs::path home = dir.path() / "home";
    fs::path cfg = home / ".config" / "openmw" / "openmw.cfg";
    fs::path mods = dir.path() / "mods";
    fs::path game = dir.path() / "R&D Game" / "Data Files";
    fs::create_directories(mods);
    Touch(game / "morrowind.ESM"); // letter case of the master does not matter
    fs::create_directories(cfg.parent_path());
    std::ofstream(cfg) << "data=\"" << mods.string() << "\"\ndata=\"" << dir.path().string()
                       << "/R&&D Game/Data Files\"\n";

    DataFolder::Sources s{"", cfg, home};
    EXPECT_EQ(DataFolder::Find(s), game.string() + "/") << "the first folder holding the master";

    s.configured = "  /my/data";
    EXPECT_EQ(DataFolder::Find(s), "/my/data/");

    s.configured.clear();
    s.openmwCfg = dir.path() / "missing.cfg";
    EXPECT_EQ(DataFolder::Find(s), DataFolder::DefaultFolder(home).string() + "/");

    fs::path steam = DataFolder::SteamFolders(home)[1];
    fs::create_directories(steam);
    EXPECT_EQ(DataFolder::Find(s), steam.string() + "/");
}

TEST(DataFolder, InstallFolderIsTheParent) {
    EXPECT_EQ(DataFolder::InstallFolder("/games/Game/Data Files/"), "/games/Game/");
    EXPECT_EQ(DataFolder::InstallFolder("/games/Game/Data Files"), "/games/Game/");
    EXPECT_EQ(DataFolder::WithSlash("/a/b"), "/a/b/");
}
