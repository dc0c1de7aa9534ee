#include "template/AppSettings.h"
#include "template/Config.h"

#include "TestSupport.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace vellum;
using vellum::test::TempDir;

TEST(Settings, FreshStartRunsOnPresetsButWritesTheMissingKeyTexts) {
    TempDir dir;
    Config c;
    AppSettings s;
    LoadSettings(c, (dir / "Vellum.ini").string(), s);
    EXPECT_TRUE(s.EnableSafeEdit);
    EXPECT_FALSE(s.ConfirmDelete);
    EXPECT_FALSE(s.ConfirmCut);
    EXPECT_FALSE(s.HotTracking);
    EXPECT_FALSE(s.LeaveRecordsUnpacked);
    EXPECT_EQ(c.GetVar("Performance", "LeaveRecordsUnpacked"), "1");
    EXPECT_EQ(c.GetVar("Editing", "ConfirmDelete"), "True");
    EXPECT_EQ(c.GetVar("View", "BackGroundImage"), "");
    EXPECT_FALSE(std::filesystem::exists(dir / "Vellum.ini")) << "applying saves nothing";

    // The first save writes the settings in force; a second start reads them back.
    ASSERT_EQ(SaveSettings(c, s), 0);
    Config again;
    AppSettings next;
    LoadSettings(again, (dir / "Vellum.ini").string(), next);
    EXPECT_FALSE(next.ConfirmDelete);
    EXPECT_EQ(again.GetVar("Editing", "ConfirmDelete"), "False");
    EXPECT_EQ(again.GetVar("Performance", "LeaveRecordsUnpacked"), "False");
}

// Only the word True, in any case, is true: the "1" written for a missing key is not.
TEST(Settings, KeysWrittenWhenMissingReadBackAsTheTableSays) {
    Config c;
    c.OpenText("[Performance]\nLeaveRecordsUnpacked = 1\n[View]\nHotTracking = True\n"
               "[Editing]\nConfirmDelete = True\nEnableSafeEdit = False\n");
    AppSettings s;
    ApplySettings(c, s);
    EXPECT_FALSE(s.LeaveRecordsUnpacked);
    EXPECT_TRUE(s.HotTracking);
    EXPECT_TRUE(s.ConfirmDelete);
    EXPECT_FALSE(s.EnableSafeEdit);

    c.SetVar("Performance", "LeaveRecordsUnpacked", "true");
    ApplySettings(c, s);
    EXPECT_TRUE(s.LeaveRecordsUnpacked);
}

TEST(Settings, SaveKeepsOtherGroupsAndTheImagePath) {
    TempDir dir;
    std::string path = (dir / "Vellum.ini").string();
    {
        std::ofstream out(path);
        out << "[RecentFiles]\nFile1 = /x/a.esp\n[Tools]\nEdit = Root,/usr/bin/gedit,False\n"
               "[View]\nBackGroundImage = /pics/bg one.jpg\n[Paths]\nDataFolder = /games/mw/Data Files\n";
    }
    Config c;
    AppSettings s;
    LoadSettings(c, path, s);
    EXPECT_EQ(s.BackGroundImage, "/pics/bg one.jpg");
    EXPECT_EQ(s.DataFolder, "/games/mw/Data Files");
    s.EnableDelete = true;
    ASSERT_EQ(SaveSettings(c, s), 0);

    Config back;
    back.OpenFile(path);
    EXPECT_EQ(back.GetVar("RecentFiles", "File1"), "/x/a.esp");
    EXPECT_EQ(back.GetVar("Tools", "Edit"), "Root,/usr/bin/gedit,False");
    EXPECT_EQ(back.GetVar("View", "BackGroundImage"), "/pics/bg one.jpg");
    EXPECT_EQ(back.GetVar("Editing", "EnableDelete"), "True");
}
