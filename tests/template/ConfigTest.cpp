#include "template/AppSettings.h"
#include "template/Config.h"

#include "TestSupport.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace vellum;
using vellum::test::PromptRecorder;
using vellum::test::TempDir;

TEST(Config, RepeatedHeadingJoinsTheFirstGroupAndRepeatedKeyKeepsTheFirstValue) {
    PromptRecorder prompt;
    Config c;
    ASSERT_EQ(c.OpenText("[A]\r\nx = 1\r\n[a]\r\ny = 2\r\nX = 3\r\n"), 0);
    ASSERT_EQ(c.Groups().Count(), 1u);
    EXPECT_EQ(c.GetVar("A", "x"), "1");
    EXPECT_EQ(c.GetVar("a", "Y"), "2");
    EXPECT_EQ(prompt.Texts(), (std::vector<std::string>{
                                  "Configuration file error: Could not add group heading 'a'. "
                                  "This could be caused by a duplicate entry",
                                  "Configuration file error: Could not add variable setting 'X'. "
                                  "This could be caused by a duplicate entry"}));
}

TEST(Config, LineForms) {
    PromptRecorder prompt;
    Config c;
    ASSERT_EQ(c.OpenText("[G]\n   \n\n[]\n[x\nkey=a=b\nempty =\nbare\n@SAMPLE = x\n  tab\t = v \n"), 0);
    ASSERT_NE(c.FindGroup("g"), nullptr) << "group names ignore case";
    EXPECT_TRUE(c.VarExists("G", "[]")) << "[] is an entry, not a heading";
    EXPECT_TRUE(c.VarExists("G", "[x"));
    EXPECT_EQ(c.GetVar("G", "key"), "a=b");
    EXPECT_EQ(c.GetVar("G", "empty"), "");
    EXPECT_EQ(c.GetVar("G", "bare"), "");
    EXPECT_EQ(c.GetVar("G", "tab\t"), "v") << "a tab is an ordinary character";
    EXPECT_TRUE(c.InstrExists("G", "SAMPLE"));
    EXPECT_FALSE(c.VarExists("G", "SAMPLE"));
    EXPECT_EQ(c.GetVar("missing", "x").rfind("{Error} ", 0), 0u);
    EXPECT_EQ(c.GetVar("G", "missing").rfind("{Error} ", 0), 0u);
    EXPECT_TRUE(prompt.calls.empty());
}

TEST(Config, EntryBeforeAnyHeadingStopsReadingKeepingWhatWasRead) {
    Config c;
    EXPECT_NE(c.OpenText("orphan = 1\n[G]\nx = 1\n"), 0);
    EXPECT_EQ(c.Groups().Count(), 0u);
}

TEST(Config, SaveWritesInstructionsFirstAndReadsBackTheSameModel) {
    TempDir dir;
    Config c;
    c.OpenText("[G]\nv = 1\n@I = 2\n[H]\nw\n");
    ASSERT_EQ(c.Save((dir / "a.ini").string()), 0);
    EXPECT_EQ(vellum::test::ReadText(dir / "a.ini"), "[G]\r\n@I = 2\r\nv = 1\r\n[H]\r\nw = \r\n");
    Config d;
    ASSERT_EQ(d.OpenFile((dir / "a.ini").string()), 0);
    EXPECT_EQ(d.GetVar("G", "v"), "1");
    EXPECT_TRUE(d.InstrExists("G", "I"));
    EXPECT_TRUE(d.VarExists("H", "w"));
}

TEST(Config, SaveAsksBeforeReplacingAndKeepsTheFileOnNo) {
    TempDir dir;
    auto file = (dir / "a.ini").string();
    vellum::test::WriteBytes(file, {'o', 'l', 'd'});
    PromptRecorder prompt;
    prompt.answers = {Answer::No};
    Config c;
    c.OpenText("[G]\n");
    EXPECT_EQ(c.Save(file, true), 0);
    EXPECT_EQ(prompt.calls.at(0).text, "Are you sure you want to replace " + file + "?");
    EXPECT_EQ(vellum::test::ReadBytes(file).size(), 3u);
}

TEST(Config, MissingFileLeavesAnEmptyModel) {
    Config c;
    c.OpenText("[G]\n");
    EXPECT_EQ(c.OpenFile("/nonexistent/ESTemplate.ini"), Config::kFileNotFound);
    EXPECT_EQ(c.Groups().Count(), 0u);
}

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
