#include "template/Config.h"
#include "tools/ToolCategories.h"
#include "tools/ToolList.h"
#include "tools/ToolScanner.h"

#include "TestSupport.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace vellum;
using vellum::test::PromptRecorder;
using vellum::test::RecordingProgress;
using vellum::test::TempDir;
namespace fs = std::filesystem;

namespace {

void MakeFile(const fs::path& file, bool program) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "x";
    fs::permissions(file, program ? fs::perms::owner_all : fs::perms::owner_read | fs::perms::owner_write);
}

Config Signatures() {
    Config s;
    s.OpenText("[OpenMW]\nFilename = openmw\nCategory = Game\n"
               "[Readme]\nFilename = README.TXT\n"
               "[Hidden]\nFilename = secret\n"
               "[NoFile]\nCategory = X\n"
               "[Setup]\nFilename = setup.exe\nCategory = Game\n"
               "[Linked]\nFilename = linked\n");
    return s;
}

} // namespace

TEST(ToolScanner, FixedDrivesAreLocalDiskMounts) {
    auto drives = ToolScanner::FixedDrives("proc /proc proc rw 0 0\n"
                                           "/dev/sda1 / ext4 rw,relatime 0 0\n"
                                           "tmpfs /run tmpfs rw 0 0\n"
                                           "/dev/sdb1 /media/My\\040Games vfat rw 0 0\n"
                                           "overlay / overlay rw 0 0\n"
                                           "garbage\n"
                                           "/dev/sdc1 /data xfs rw 0 0");
    EXPECT_EQ(drives, (std::vector<fs::path>{"/", "/media/My Games", "/data"}));
}

TEST(ToolScanner, FindsSignaturesSkippingHiddenFoldersAndLinks) {
    TempDir dir;
    MakeFile(dir / "games" / "openmw" / "openmw", true);
    MakeFile(dir / "games" / "docs" / "readme.txt", false);
    MakeFile(dir / ".hidden" / "secret", true);
    MakeFile(dir / "win" / "setup.exe", false);
    MakeFile(dir / "real" / "linked", true);
    fs::create_directory_symlink(dir.path(), dir / "games" / "loop"); // must not be followed
    fs::create_directory_symlink(dir / "real", dir / "alias");

    Config settings;
    settings.OpenText("[Tools]\nSetup = Root,/elsewhere/setup.exe,False\n[ToolFolders]\nUtilities = 4\n");
    RecordingProgress progress;
    ToolScanner scanner(Signatures(), settings, &progress);
    auto result = scanner.Scan({dir.path()});

    EXPECT_EQ(result.added, 3);
    EXPECT_FALSE(result.cancelled);
    EXPECT_EQ(settings.GetVar("Tools", "OpenMW"), "Game," + (dir / "games" / "openmw" / "openmw").string() + ",False");
    EXPECT_EQ(settings.GetVar("Tools", "Readme"), "Root," + (dir / "games" / "docs" / "readme.txt").string() + ",True")
        << "names match in any letter case and keep the case on disk";
    EXPECT_EQ(settings.GetVar("Tools", "Setup"), "Root,/elsewhere/setup.exe,False") << "already listed";
    EXPECT_FALSE(settings.VarExists("Tools", "Hidden"));
    EXPECT_EQ(settings.GetVar("Tools", "Linked"), "Root," + (dir / "real" / "linked").string() + ",False");
    EXPECT_EQ(settings.GetVar("ToolFolders", "Game"), "5") << "a new category goes after the others";
    ASSERT_FALSE(progress.reports.empty());
    EXPECT_EQ(progress.reports[0].second, "Scanning " + dir.path().string());
}

TEST(ToolScanner, CancelStopsAndMissingRootsAreCounted) {
    TempDir dir;
    MakeFile(dir / "a" / "openmw", true);
    Config settings;
    RecordingProgress progress;
    progress.cancel = true;
    auto result = ToolScanner(Signatures(), settings, &progress).Scan({dir.path()});
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.added, 0);

    auto missing = ToolScanner(Signatures(), settings, nullptr).Scan({dir / "gone"});
    EXPECT_EQ(missing.unreadable, 1);

    // A root below another on the same disk, and a file mount point, add nothing twice.
    RecordingProgress all;
    ToolScanner scanner(Signatures(), settings, &all);
    auto twice = scanner.Scan({dir.path(), dir / "a", dir / "a" / "openmw"});
    EXPECT_EQ(twice.added, 1);
    EXPECT_EQ(twice.unreadable, 0);
}

TEST(ToolList, ScanAsksSavesTheGridAndReloadsIt) {
    TempDir dir;
    MakeFile(dir / "bin" / "openmw", true);
    Config settings;
    settings.OpenText("[Tools]\nOld = Root,/x,False\n");
    ToolList list(settings);
    list.Rows().push_back({"Typed", "Root", "/y.pdf", true});

    PromptRecorder prompt;
    prompt.answers = {Answer::No};
    EXPECT_FALSE(list.Scan(Signatures(), nullptr, {dir.path()}));
    EXPECT_FALSE(settings.VarExists("Tools", "Typed")) << "No leaves the settings alone";
    EXPECT_EQ(prompt.calls[0].text, ToolScanner::kQuestion);

    RecordingProgress progress;
    EXPECT_TRUE(list.Scan(Signatures(), &progress, {dir.path(), dir / "gone"}));
    ASSERT_EQ(list.Rows().size(), 3u);
    EXPECT_EQ(list.Rows()[1].Name, "Typed");
    EXPECT_EQ(list.Rows()[2].Name, "OpenMW");
    EXPECT_EQ(progress.done, 1);
    EXPECT_EQ(prompt.calls.back().text, "The scan skipped 1 folder that could not be read.");
}

TEST(ToolList, LocateRemoveAndDuplicateNames) {
    TempDir dir;
    MakeFile(dir / "Manual.PDF", false);
    MakeFile(dir / "tes3cmd", true);
    Config settings;
    ToolList list(settings);
    auto row = [&list](std::size_t i) {
        const auto& r = list.Rows()[i];
        return r.Name + "|" + r.Category + "|" + r.Path + (r.Document ? "|document" : "");
    };
    EXPECT_EQ(list.Locate(-1, dir / "Manual.PDF"), 0u);
    EXPECT_EQ(row(0), "Manual|Root|" + (dir / "Manual.PDF").string() + "|document");
    EXPECT_EQ(list.Locate(-1, dir / "tes3cmd"), 1u);
    EXPECT_EQ(row(1), "tes3cmd|Root|" + (dir / "tes3cmd").string()) << "a program without extension keeps its name";
    list.Locate(0, dir / "tes3cmd");
    EXPECT_EQ(row(0), "Manual|Root|" + (dir / "tes3cmd").string()) << "located again: a program now";

    PromptRecorder prompt;
    prompt.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(list.Remove(1));
    EXPECT_TRUE(list.Remove(1));
    EXPECT_EQ(prompt.calls[0].text, "Are you sure you want to remove tes3cmd?");
    list.Rows().push_back(list.Rows()[0]);
    list.Save();
    EXPECT_EQ(settings.FindGroup("Tools")->Variables.Count(), 1u);
    EXPECT_TRUE(prompt.Saw("Configuration file error: Could not add variable setting 'Manual'. "
                           "This could be caused by a duplicate entry"));
    prompt.answers = {Answer::Yes};
    EXPECT_TRUE(list.RemoveAll());
    EXPECT_TRUE(list.Rows().empty());
}

TEST(ToolCategories, ReorderRenameAndRemove) {
    Config settings;
    settings.OpenText("[ToolFolders]\nB = 2\nA = 1\nC = 3\n"
                      "[Tools]\nt1 = A,/a,False\nt2 = B,/b,False\nt3 = C,/c,False\nt4 = D,/d,False\n");
    EXPECT_EQ(ToolList(settings).CategoryChoices(), (std::vector<std::string>{"Root", "A", "B", "C", "D"}));
    ToolCategories cats(settings);
    ASSERT_EQ(cats.Rows().size(), 4u);
    EXPECT_EQ(cats.Rows()[0].Name, "A");
    EXPECT_EQ(cats.Rows()[3].Name, "D") << "a category only tools name is listed too";
    EXPECT_FALSE(cats.Up(0));
    EXPECT_FALSE(cats.Down(3));
    EXPECT_TRUE(cats.Down(0)); // B A C D
    cats.Rows()[1].Name = "Alpha";
    cats.Rows().erase(cats.Rows().begin() + 2); // C goes
    cats.Save();
    auto group = [&settings](const char* name) {
        std::string out;
        for (const auto& v : settings.FindGroup(name)->Variables) out += v.value.Name + "=" + v.value.Value + ";";
        return out;
    };
    EXPECT_EQ(group("ToolFolders"), "B=1;Alpha=2;D=3;");
    EXPECT_EQ(group("Tools"), "t1=Alpha,/a,False;t2=B,/b,False;t3=Root,/c,False;t4=D,/d,False;");
}
