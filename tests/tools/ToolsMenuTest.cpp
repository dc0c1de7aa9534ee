#include "template/Config.h"
#include "tools/ToolEntry.h"
#include "tools/ToolsMenu.h"

#include <gtest/gtest.h>

using namespace vellum;

TEST(ToolEntry, ValueFieldsAndTheDocumentFlag) {
    auto t = ToolEntry::Parse("Notes", "Docs,/home/u/notes, v2.txt,tRuE");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->Category, "Docs");
    EXPECT_EQ(t->Path, "/home/u/notes, v2.txt") << "a comma in the path survives";
    EXPECT_TRUE(t->Document) << "the flag is compared upper-cased";
    EXPECT_EQ(t->Value(), "Docs,/home/u/notes, v2.txt,True");
    EXPECT_FALSE(ToolEntry::Parse("x", "Root,/bin/x,1")->Document);
    EXPECT_FALSE(ToolEntry::Parse("x", "Root,/bin/x"));
    EXPECT_FALSE(ToolEntry::Parse("x", ""));
}

TEST(ToolsMenu, CategoriesSortByOrderAndRootIsTheTopLevel) {
    Config c;
    c.OpenText("[ToolFolders]\nUtilities = 3\nGame = 1\nEmpty = 2\nEditors = 3\n"
               "[Tools]\n"
               "esmtool = Utilities,/usr/bin/esmtool,False\n"
               "Readme = Root,/d/readme.txt,True\n"
               "OpenMW = Game,/usr/bin/openmw,False\n"
               "CS = Editors,/usr/bin/openmw-cs,False\n"
               "Broken = Game\n"
               "Mine = Unlisted,/opt/mine,False\n");
    ToolsMenu m = ToolsMenu::Build(c);
    ASSERT_EQ(m.Root.size(), 2u);
    EXPECT_EQ(m.Root[0].Caption, "Readme");
    EXPECT_EQ(m.Root[0].Value, "Root,/d/readme.txt,True");
    EXPECT_EQ(m.Root[1].Caption, "Broken") << "an unreadable value stays reachable at the top";
    std::vector<std::string> captions;
    for (const auto& category : m.Categories) captions.push_back(category.Caption);
    // No empty category; equal orders keep the group's order.
    EXPECT_EQ(captions, (std::vector<std::string>{"Game", "Utilities", "Editors", "Unlisted"}));
    EXPECT_EQ(m.Categories[0].Items[0].Value, "Game,/usr/bin/openmw,False");
}

TEST(ToolsMenu, NoMoreThanTwentyOneSubmenus) {
    Config c;
    std::string text = "[Tools]\n";
    for (int i = 1; i <= 23; ++i) text += "T" + std::to_string(i) + " = C" + std::to_string(i) + ",/x,False\n";
    c.OpenText(text);
    ToolsMenu m = ToolsMenu::Build(c);
    EXPECT_EQ(m.Categories.size(), 21u);
    ASSERT_EQ(m.Root.size(), 2u);
    EXPECT_EQ(m.Root[0].Caption, "T22");
    EXPECT_EQ(m.Root[1].Caption, "T23");
    EXPECT_TRUE(ToolsMenu::Build(Config{}).Root.empty());
}
