#include "template/ProgramFolder.h"
#include "template/Startup.h"
#include "index/esFiles.h"

#include "TestSupport.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace vellum;
using vellum::test::TempDir;
namespace fs = std::filesystem;

TEST(ProgramFolder, UnwritableExecutableFolderUsesASeededUserFolder) {
    TempDir dir;
    fs::path installed = dir / "share";
    fs::create_directories(installed / "Templates");
    std::ofstream(installed / "ESTemplate.ini") << "[TES3]\n";
    std::ofstream(installed / "Signatures.ini") << "[OpenMW]\nFilename = openmw\n";
    std::ofstream(installed / "Templates" / "Blank.esp") << "x";
    fs::path user = dir / "user" / "vellum";
    fs::create_directories(user);
    std::ofstream(user / "Signatures.ini") << "[Mine]\n"; // the user's own copy stays

    // A folder that does not exist is not writable.
    fs::path chosen = ProgramFolder::Choose(dir / "no-such-bin", user, installed);
    EXPECT_EQ(chosen, user);
    EXPECT_TRUE(fs::exists(user / "ESTemplate.ini"));
    EXPECT_TRUE(fs::exists(user / "Templates" / "Blank.esp"));
    EXPECT_FALSE(fs::exists(user / "ESTemplate.def")) << "a seed that is not installed is skipped";
    std::ifstream in(user / "Signatures.ini");
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, "[Mine]");

    EXPECT_EQ(ProgramFolder::Choose(installed, user, installed), installed);
}

TEST(Startup, CreatesFoldersReadsTemplateAndSettings) {
    TempDir dir;
    std::ofstream(dir / "ESTemplate.ini") << "[NPC_]\n@PropID = NAME\n";
    std::ofstream(dir / "Vellum.ini") << "[Editing]\nConfirmCut = TRUE\n[Paths]\nDataFolder = /d/Data Files\n";
    Startup s({dir.path(), {}, true});
    for (const char* f : {"Templates", "Indices", "Dumps"}) EXPECT_TRUE(fs::is_directory(dir / f)) << f;
    EXPECT_TRUE(s.TemplateConfig().GroupExists("npc_"));
    EXPECT_TRUE(s.Settings().ConfirmCut);
    EXPECT_EQ(s.DataFolder(), "/d/Data Files/");
    EXPECT_EQ(s.InstallFolder(), "/d/");
    EXPECT_EQ(s.SettingsConfig().path(), (dir / "Vellum.ini").string());
    EXPECT_EQ(s.Files().Count(), 1u);
    EXPECT_TRUE(s.Files().ClipboardFile().Clipboard);
    EXPECT_EQ(s.Files().ClipboardFile().FileTitle, "Clipboard");
    EXPECT_FALSE(s.Files().Settings().ReplaceClipboard) << "a missing key leaves the preset";

    for (const char* f : {"blank.esp", "Blank Master.esm"}) std::ofstream(dir / "Templates" / f) << "x";
    fs::create_directory(dir / "Templates" / "folder.esp");
    auto files = s.TemplateFiles();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].first, "Blank Master");
    EXPECT_EQ(files[1], (std::pair<std::string, std::string>{"blank", "blank.esp"}));
}

TEST(Startup, TemplateEditTakesEffectAtOnce) {
    TempDir dir;
    std::ofstream(dir / "ESTemplate.ini") << "[A]\n";
    Startup s({dir.path(), {}, false});
    std::ofstream(dir / "ESTemplate.ini") << "[B]\n";
    std::ofstream(dir / "Other.ini") << "[C]\n";
    auto generation = s.TemplateConfig().Generation();

    s.ConfigFileEdited("Other.ini");
    EXPECT_TRUE(s.TemplateConfig().GroupExists("A"));

    s.ConfigFileEdited("estemplate.INI");
    EXPECT_FALSE(s.TemplateConfig().GroupExists("A"));
    EXPECT_TRUE(s.TemplateConfig().GroupExists("B"));
    EXPECT_NE(s.TemplateConfig().Generation(), generation) << "codec caches must see the change";
}

TEST(Startup, AProgramFolderThatCannotBeMadeIsNoError) {
    TempDir dir;
    std::ofstream(dir / "file") << "x";
    Startup s({dir / "file" / "home", {}, false}); // below a file: nothing can be created
    EXPECT_FALSE(fs::exists(dir / "file" / "home"));
    EXPECT_EQ(s.TemplateConfig().Groups().Count(), 0u);
    EXPECT_TRUE(s.Settings().EnableSafeEdit);
    EXPECT_NE(s.SaveSettings(), 0);
    EXPECT_TRUE(s.TemplateFiles().empty());
}
