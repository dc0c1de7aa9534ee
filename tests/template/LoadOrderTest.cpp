#include "template/LoadOrder.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

namespace vellum::test {
namespace {

namespace fs = std::filesystem;

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

} // namespace
} // namespace vellum::test
