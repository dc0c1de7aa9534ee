#include "template/Config.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace vellum;
using vellum::test::PromptRecorder;

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
    vellum::test::TempDir dir;
    Config c;
    c.OpenText("[G]\nv = 1\n@I = 2\n[H]\nw\n");
    ASSERT_EQ(c.Save((dir / "a.ini").string()), 0);
    auto bytes = vellum::test::ReadBytes(dir / "a.ini");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "[G]\r\n@I = 2\r\nv = 1\r\n[H]\r\nw = \r\n");
    Config d;
    ASSERT_EQ(d.OpenFile((dir / "a.ini").string()), 0);
    EXPECT_EQ(d.GetVar("G", "v"), "1");
    EXPECT_TRUE(d.InstrExists("G", "I"));
    EXPECT_TRUE(d.VarExists("H", "w"));
}

TEST(Config, SaveAsksBeforeReplacingAndKeepsTheFileOnNo) {
    vellum::test::TempDir dir;
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
