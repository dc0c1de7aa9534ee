#include "index/esHistory.h"

#include <gtest/gtest.h>

using namespace vellum;

namespace {

void Visit(esHistory& h, const std::string& record, const std::string& sub = {}) {
    h.Add("/d/a.esp", record.substr(0, 4), record, sub);
}

} // namespace

TEST(esHistory, EmptyListHasNoCurrentItemAndCannotMove) {
    esHistory h;
    EXPECT_EQ(h.CurrentItem(), nullptr);
    h.Back();
    h.Forward();
    EXPECT_EQ(h.CurrentItemIndex(), 0u);
    EXPECT_FALSE(h.CanGoBack());
    EXPECT_FALSE(h.CanGoForward());
    EXPECT_THROW(h.Item(1), std::out_of_range);
}

TEST(esHistory, SamePlaceTwiceInARowIsOneItem) {
    esHistory h;
    EXPECT_NE(h.Add("f", "NPC_", "NPC_3", ""), nullptr);
    EXPECT_EQ(h.Add("f", "NPC_", "NPC_3", ""), nullptr);
    EXPECT_NE(h.Add("f", "NPC_", "NPC_3", "NAME")->SubRecordKey, "") << "a deeper visit is new";
    EXPECT_EQ(h.Count(), 2u);
}

TEST(esHistory, BackAndForwardStopAtTheEnds) {
    esHistory h;
    Visit(h, "NPC_1");
    Visit(h, "NPC_2");
    Visit(h, "NPC_3");
    h.Back();
    h.Back();
    h.Back();
    EXPECT_EQ(h.CurrentItemIndex(), 1u);
    EXPECT_FALSE(h.CanGoBack());
    EXPECT_EQ(h.CurrentItem()->RecordKey, "NPC_1");
    for (int i = 0; i < 5; ++i) h.Forward();
    EXPECT_EQ(h.CurrentItemIndex(), 3u);
    EXPECT_FALSE(h.CanGoForward());
    EXPECT_TRUE(h.CanGoBack());
}

TEST(esHistory, NewVisitAfterGoingBackCutsTheForwardItems) {
    esHistory h;
    for (const char* r : {"A1", "A2", "A3", "A4"}) Visit(h, r);
    h.Back();
    h.Back();
    Visit(h, "B9");
    ASSERT_EQ(h.Count(), 3u);
    EXPECT_EQ(h.Item(2).RecordKey, "A2");
    EXPECT_EQ(h.Item(3).RecordKey, "B9");
    EXPECT_EQ(h.CurrentItemIndex(), 3u);
    EXPECT_FALSE(h.CanGoForward());
}

TEST(esHistory, ReselectingTheLastItemAfterBackAddsNothingAndKeepsTheCursor) {
    esHistory h;
    for (const char* r : {"A1", "A2", "A3"}) Visit(h, r);
    h.Back();
    EXPECT_EQ(h.Add("/d/a.esp", "A3", "A3", ""), nullptr);
    EXPECT_EQ(h.Count(), 3u);
    EXPECT_EQ(h.CurrentItemIndex(), 2u);
    // The comparison is with the last item, not the current one: revisiting it is new.
    Visit(h, "A2");
    EXPECT_EQ(h.Count(), 3u);
    EXPECT_EQ(h.Item(3).RecordKey, "A2");
}

TEST(esHistory, RemovingItemsPullsTheCursorBackOnItsNextUse) {
    esHistory h;
    for (const char* r : {"A1", "A2", "A3"}) Visit(h, r);
    h.Remove(3);
    h.Remove(9); // outside: nothing happens
    EXPECT_EQ(h.Count(), 2u);
    EXPECT_EQ(h.CurrentItem()->RecordKey, "A2");
    EXPECT_EQ(h.CurrentItemIndex(), 2u);
    h.Remove(1);
    h.Remove(1);
    EXPECT_EQ(h.CurrentItem(), nullptr);
    EXPECT_EQ(h.CurrentItemIndex(), 0u);
    Visit(h, "C1");
    EXPECT_EQ(h.CurrentItemIndex(), 1u);
}
