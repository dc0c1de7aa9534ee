#include "template/ProgramFolder.h"
#include "template/Startup.h"
#include "index/esFiles.h"

#include "TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <set>

using namespace vellum;
using vellum::test::TempDir;
namespace fs = std::filesystem;

namespace {

// Sets environment variables (nullptr unsets) for the lifetime of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::initializer_list<std::pair<const char*, const char*>> values) {
        for (const auto& [name, value] : values) {
            const char* old = std::getenv(name);
            saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            value ? ::setenv(name, value, 1) : ::unsetenv(name);
        }
    }
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_) value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// Every path the folders name, relative to `root`, in one line: a layout compared at a glance.
std::string Layout(const ProgramFolder& f, const fs::path& root) {
    std::string out;
    for (const fs::path& p : {f.Shipped(), f.SettingsFile(), f.TemplateFile(), f.DefaultTemplateFile(),
                              f.SignaturesFile(), f.TemplatesFolder(), f.DumpsFolder(), f.IndicesFolder(),
                              f.ScratchFolder()})
        out += (out.empty() ? "" : " ") + p.lexically_relative(root).string();
    return out;
}

// A file tree: every path under `root` with its size, so that any write shows.
std::set<std::string> Tree(const fs::path& root) {
    std::set<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(root))
        out.insert(e.path().lexically_relative(root).string() +
                   (e.is_regular_file() ? " " + std::to_string(e.file_size()) : "/"));
    return out;
}

void InstallShippedData(const fs::path& shared) {
    fs::create_directories(shared / "Templates");
    std::ofstream(shared / "ESTemplate.ini") << "[TES3]\n";
    std::ofstream(shared / "ESTemplate.def") << "[TES3]\n";
    std::ofstream(shared / "Signatures.ini") << "[OpenMW]\nFilename = openmw\n";
    std::ofstream(shared / "Templates" / "Blank.esp") << "x";
}

} // namespace

TEST(ProgramFolder, LayoutOfEachKindOfCopy) {
    TempDir dir;
    const ProgramFolder::UserFolders user{dir / "config" / "vellum", dir / "data" / "vellum", dir / "cache" / "vellum"};
    fs::create_directories(dir / "portable");
    std::ofstream(dir / "portable" / ProgramFolder::kPortableMarker);
    InstallShippedData(dir / "usr" / "share" / "vellum");
    fs::create_directories(dir / "usr" / "bin");
    fs::create_directories(dir / "loose");
    std::ofstream(dir / "loose" / "ESTemplate.ini");

    const struct {
        fs::path exe;
        std::string layout; // shipped settings template default signatures Templates Dumps Indices scratch
    } cases[] = {
        {dir / "portable", "portable portable/Vellum.ini portable/ESTemplate.ini portable/ESTemplate.def "
                           "portable/Signatures.ini portable/Templates portable/Dumps portable/Indices portable"},
        {dir / "usr" / "bin", "usr/share/vellum config/vellum/Vellum.ini data/vellum/ESTemplate.ini "
                              "data/vellum/ESTemplate.def data/vellum/Signatures.ini data/vellum/Templates "
                              "data/vellum/Dumps cache/vellum/Indices cache/vellum"},
        // Data beside an executable without the marker is read, but nothing is written there.
        {dir / "loose", "loose config/vellum/Vellum.ini data/vellum/ESTemplate.ini data/vellum/ESTemplate.def "
                        "data/vellum/Signatures.ini data/vellum/Templates data/vellum/Dumps cache/vellum/Indices "
                        "cache/vellum"},
    };
    for (const auto& c : cases) EXPECT_EQ(Layout(ProgramFolder::Find(c.exe, user), dir.path()), c.layout) << c.exe;
    EXPECT_EQ(Layout(ProgramFolder(dir / "home", dir / "usr"), dir.path()),
              "usr home/Vellum.ini home/ESTemplate.ini home/ESTemplate.def home/Signatures.ini home/Templates "
              "home/Dumps home/Indices home");
}

TEST(ProgramFolder, UserFoldersFollowTheXdgVariables) {
    const struct {
        const char *config, *data, *cache, *home;
        std::string expected; // config data cache
    } cases[] = {
        {nullptr, nullptr, nullptr, "/h", "/h/.config/vellum /h/.local/share/vellum /h/.cache/vellum"},
        {"/c", "/d", "/k", "/h", "/c/vellum /d/vellum /k/vellum"},
        // Relative and empty values are ignored, as the XDG rules say.
        {"rel", "", "./k", "/h", "/h/.config/vellum /h/.local/share/vellum /h/.cache/vellum"},
        {"/c", nullptr, nullptr, "/h", "/c/vellum /h/.local/share/vellum /h/.cache/vellum"},
    };
    for (const auto& c : cases) {
        ScopedEnvironment env{{"XDG_CONFIG_HOME", c.config}, {"XDG_DATA_HOME", c.data}, {"XDG_CACHE_HOME", c.cache},
                              {"HOME", c.home}};
        const auto u = ProgramFolder::UserFolders::FromEnvironment();
        EXPECT_EQ(u.config.string() + " " + u.data.string() + " " + u.cache.string(), c.expected)
            << (c.config ? c.config : "-") << " " << (c.data ? c.data : "-");
    }
    // Without HOME the account's home folder is used, never the working folder.
    ScopedEnvironment env{{"XDG_CONFIG_HOME", nullptr}, {"HOME", nullptr}};
    EXPECT_TRUE(ProgramFolder::UserFolders::FromEnvironment().config.is_absolute());
}

TEST(ProgramFolder, PrepareSeedsTheUsersFoldersAndKeepsTheirOwnCopies) {
    TempDir dir;
    const fs::path shared = dir / "share";
    InstallShippedData(shared);
    const ProgramFolder::UserFolders user{dir / "config", dir / "data", dir / "cache"};
    fs::create_directories(user.data);
    std::ofstream(user.data / "Signatures.ini") << "[Mine]\n";

    const ProgramFolder f = ProgramFolder::Installed(shared, user);
    f.Prepare();
    EXPECT_EQ(Tree(dir / "data"), (std::set<std::string>{"Dumps/", "ESTemplate.def 7", "ESTemplate.ini 7",
                                                         "Signatures.ini 7", "Templates/", "Templates/Blank.esp 1"}));
    EXPECT_EQ(Tree(dir / "cache"), (std::set<std::string>{"Indices/"}));
    EXPECT_TRUE(fs::is_directory(user.config));

    // The user's edits and deletions stay: a seed comes only where nothing of that name is.
    std::ofstream(user.data / "ESTemplate.ini") << "[Edited]\n";
    fs::remove(user.data / "Templates" / "Blank.esp");
    f.Prepare();
    EXPECT_EQ(fs::file_size(user.data / "ESTemplate.ini"), 9u);
    EXPECT_TRUE(fs::is_empty(user.data / "Templates"));

    // A portable folder is its own shipped data: nothing to copy.
    std::set<std::string> expected = Tree(shared);
    expected.insert({"Dumps/", "Indices/"});
    ProgramFolder(shared).Prepare();
    EXPECT_EQ(Tree(shared), expected);
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
}
