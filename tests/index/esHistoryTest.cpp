#include "index/esHistory.h"

#include <gtest/gtest.h>

using namespace vellum;

namespace {

void Visit(esHistory& h, const std::string& record, const std::string& sub = {}) {
    h.Add("/d/a.esp", record.substr(0, 4), record, sub);
}

// The items in order, the one at the cursor in brackets, as the window would show them.
std::string State(esHistory& h) {
    const std::size_t cursor = h.CurrentItemIndex();
    EXPECT_EQ(h.CurrentItem(), cursor == 0 ? nullptr : &h.Item(cursor));
    std::string s;
    for (std::size_t i = 1; i <= h.Count(); ++i) {
        const esHistoryItem& item = h.Item(i);
        const std::string key = item.RecordKey + (item.SubRecordKey.empty() ? "" : "/" + item.SubRecordKey);
        s += (s.empty() ? "" : " ") + (i == cursor ? "[" + key + "]" : key);
    }
    return s;
}

} // namespace

TEST(esHistory, EmptyListHasNoCurrentItemAndCannotMove) {
    esHistory h;
    h.Back();
    h.Forward();
    EXPECT_EQ(State(h), "");
    EXPECT_EQ(h.CurrentItemIndex(), 0u);
    EXPECT_FALSE(h.CanGoBack());
    EXPECT_FALSE(h.CanGoForward());
    EXPECT_THROW(h.Item(1), std::out_of_range);
}

TEST(esHistory, SamePlaceTwiceInARowIsOneItem) {
    esHistory h;
    EXPECT_NE(h.Add("f", "NPC_", "NPC_3", ""), nullptr);
    EXPECT_EQ(h.Add("f", "NPC_", "NPC_3", ""), nullptr);
    EXPECT_NE(h.Add("f", "NPC_", "NPC_3", "NAME"), nullptr) << "a deeper visit is new";
    EXPECT_EQ(State(h), "NPC_3 [NPC_3/NAME]");
}

TEST(esHistory, BackAndForwardStopAtTheEndsAndANewVisitCutsTheForwardItems) {
    esHistory h;
    for (const char* r : {"A1", "A2", "A3", "A4"}) Visit(h, r);
    for (int i = 0; i < 5; ++i) h.Back();
    EXPECT_EQ(State(h), "[A1] A2 A3 A4");
    EXPECT_FALSE(h.CanGoBack());
    for (int i = 0; i < 5; ++i) h.Forward();
    EXPECT_EQ(State(h), "A1 A2 A3 [A4]");
    EXPECT_FALSE(h.CanGoForward());
    EXPECT_TRUE(h.CanGoBack());
    h.Back();
    h.Back();
    Visit(h, "B9");
    EXPECT_EQ(State(h), "A1 A2 [B9]");
    EXPECT_FALSE(h.CanGoForward());
}

TEST(esHistory, ReselectingTheLastItemAfterBackAddsNothingAndKeepsTheCursor) {
    esHistory h;
    for (const char* r : {"A1", "A2", "A3"}) Visit(h, r);
    h.Back();
    EXPECT_EQ(h.Add("/d/a.esp", "A3", "A3", ""), nullptr);
    EXPECT_EQ(State(h), "A1 [A2] A3");
    // The comparison is with the last item, not the current one: revisiting it is new.
    Visit(h, "A2");
    EXPECT_EQ(State(h), "A1 A2 [A2]");
}

TEST(esHistory, RemovingItemsPullsTheCursorBackOnItsNextUse) {
    esHistory h;
    for (const char* r : {"A1", "A2", "A3"}) Visit(h, r);
    h.Remove(3);
    h.Remove(9); // outside: nothing happens
    EXPECT_EQ(h.CurrentItem()->RecordKey, "A2");
    EXPECT_EQ(State(h), "A1 [A2]");
    h.Remove(1);
    h.Remove(1);
    EXPECT_EQ(h.CurrentItem(), nullptr);
    EXPECT_EQ(State(h), "");
    Visit(h, "C1");
    EXPECT_EQ(State(h), "[C1]");
}
