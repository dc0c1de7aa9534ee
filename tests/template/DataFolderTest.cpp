#include "template/DataFolder.h"

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

TEST(DataFolder, OpenMWConfigQuotingAndEscapes) {
    auto folders = DataFolder::OpenMWDataFolders(
        "# comment\r\n"
        "data=\"/games/Morrowind/Data Files\"\r\n"
        "content=Morrowind.esm\n"
        "data-local=\"/ignored\"\n"
        "  data = \"/odd/R&&D &\"quoted&\" name\" trailing\n"
        "data=/plain/path\n"
        "data=\"relative/mods\"\n"
        "data=\n"
        "data=\"unterminated\n",
        "/home/u/.config/openmw");
    EXPECT_EQ(folders, (std::vector<fs::path>{"/games/Morrowind/Data Files", "/odd/R&D \"quoted\" name",
                                                 "/plain/path", "/home/u/.config/openmw/relative/mods",
                                                 "/home/u/.config/openmw/unterminated"}));
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
