#include "template/DataFolder.h"
#include "template/DataPaths.h"
#include "template/LoadOrder.h"
#include "template/OpenMWConfig.h"

#include "TestSupport.h"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>

using namespace vellum;
using vellum::test::TempDir;
namespace fs = std::filesystem;

namespace {

void Touch(const fs::path& file, int ageSeconds = 0) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "x";
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::seconds(ageSeconds));
}

std::vector<std::string> Names(const LoadOrder& o) {
    std::vector<std::string> out;
    for (const auto& e : o.files) out.push_back(e.name + (e.path.empty() ? "" : "@" + e.path.parent_path().filename().string()));
    return out;
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

TEST(LoadOrder, OpenMWContentInOrderFoundCaseBlindTheLaterFolderWinning) {
    TempDir dir;
    Touch(dir / "base" / "Morrowind.esm");
    Touch(dir / "base" / "Shared.esp");
    Touch(dir / "mods" / "my \"mod\"" / "SHARED.ESP");
    Touch(dir / "mods" / "my \"mod\"" / "new.omwaddon");
    Touch(dir / "cfg" / "local" / "Local.esp");
    const std::string cfg = "# comment\n"
                            "data=\"" + (dir / "base").string() + "\"\r\n"
                            "  data = \"" + (dir / "mods").string() + "/my &\"mod&\"\"\n"
                            "data-local=local\n"
                            "content=Morrowind.esm\n"
                            "content=shared.esp\n"
                            "content=Missing.esp\n"
                            "content=New.omwaddon\n"
                            "content=Local.esp\n"
                            "content=morrowind.esm\n"
                            "fallback=Werewolf,x\n";
    const LoadOrder o = LoadOrder::FromOpenMW(OpenMWConfig(cfg, dir / "cfg"), dir / "cfg" / "openmw.cfg");
    EXPECT_EQ(o.dataFolders.size(), 3u);
    EXPECT_EQ(Names(o), (std::vector<std::string>{"Morrowind.esm@base", "shared.esp@my \"mod\"", "Missing.esp",
                                                  "New.omwaddon@my \"mod\"", "Local.esp@local"}));
}

TEST(LoadOrder, MorrowindIniLoadsMastersFirstThenOlderFilesFirst) {
    TempDir dir;
    Touch(dir / "Data Files" / "Morrowind.esm", 300);
    Touch(dir / "Data Files" / "tribunal.ESM", 200);
    Touch(dir / "Data Files" / "Old.esp", 100);
    Touch(dir / "Data Files" / "New.esp", 10);
    const std::string ini = "[General]\nGameFile0=ignored.esp\n"
                            "[Game Files]\r\n"
                            "GameFile3=New.esp\n"
                            "GameFile1=Tribunal.esm\n"
                            "; GameFile9=Commented.esp\n"
                            "GameFile2=Old.esp\n"
                            "GameFile0=Morrowind.esm\n"
                            "GameFile4=Gone.esp\n"
                            "GameFileX=Bad.esp\n"
                            "GameFile5=\n"
                            "[Archives]\nArchive 0=Tribunal.bsa\n";
    LoadOrder o = LoadOrder::FromMorrowindIni(ini, dir / "Morrowind.ini");
    EXPECT_EQ(Names(o), (std::vector<std::string>{"Morrowind.esm@Data Files", "Tribunal.esm@Data Files",
                                                  "Old.esp@Data Files", "New.esp@Data Files", "Gone.esp"}));
    Touch(dir / "Data Files" / "Old.esp", 0); // touched last: now it loads last
    o = LoadOrder::FromMorrowindIni(ini, dir / "Morrowind.ini");
    EXPECT_EQ(o.files[2].name, "New.esp");
    EXPECT_EQ(o.files[3].name, "Old.esp");
}

TEST(LoadOrder, TheUsersOwnOpenMWFirstElseTheGamesIniAndNothingFromGarbage) {
    TempDir dir;
    Touch(dir / "game" / "Data Files" / "Morrowind.esm");
    std::ofstream(dir / "game" / "MORROWIND.INI") << "[Game Files]\nGameFile0=Morrowind.esm\n";
    DataFolder::Sources sources{"", dir / "none" / "openmw.cfg", dir.path()};
    const std::string data = (dir / "game" / "Data Files").string() + "/";
    std::optional<LoadOrder> o = LoadOrder::ForUser(sources, data);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->source, dir / "game" / "MORROWIND.INI");
    EXPECT_EQ(Names(*o), std::vector<std::string>{"Morrowind.esm@Data Files"});

    fs::create_directories(dir / "cfg");
    sources.openmwCfg = dir / "cfg" / "openmw.cfg";
    std::ofstream(sources.openmwCfg) << "data=\"" << (dir / "game" / "Data Files").string() << "\"\ncontent=Morrowind.esm\n";
    o = LoadOrder::ForUser(sources, data);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->source, sources.openmwCfg);

    std::ofstream(dir / "garbage.cfg", std::ios::binary) << std::string("\0\xff=\n=content\ncontent\n", 19);
    EXPECT_FALSE(LoadOrder::Read(dir / "garbage.cfg"));
    EXPECT_FALSE(LoadOrder::Read(dir / "absent.cfg"));
}
