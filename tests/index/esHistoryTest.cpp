#include "index/esHistory.h"

#include <gtest/gtest.h>

using namespace vellum;

namespace {

// The items in order, the one at the cursor in brackets, as the window would show them, then
// whether back and forward are possible.
std::string State(esHistory& h) {
    const esHistoryItem* current = h.CurrentItem(); // brings a cursor past the end back
    const std::size_t cursor = h.CurrentItemIndex();
    EXPECT_EQ(current, cursor == 0 ? nullptr : &h.Item(cursor));
    std::string s;
    for (std::size_t i = 1; i <= h.Count(); ++i) {
        const esHistoryItem& item = h.Item(i);
        const std::string key = item.RecordKey + (item.SubRecordKey.empty() ? "" : "/" + item.SubRecordKey);
        s += (i == cursor ? "[" + key + "]" : key) + " ";
    }
    return s + (h.CanGoBack() ? "<" : "") + (h.CanGoForward() ? ">" : "");
}

} // namespace

// Steps: "+R" or "+R/S" visits, "<" and ">" move, "-N" removes item N.
TEST(esHistory, VisitsMovesAndRemovals) {
    const struct {
        const char* step;
        const char* state;
    } script[] = {
        {"<", ""}, {">", ""}, // nothing to move to
        {"+A1", "[A1] "}, {"+A1", "[A1] "}, // the same place twice in a row is one item
        {"+A1/NAME", "A1 [A1/NAME] <"}, // a deeper visit is new
        {"+A2", "A1 A1/NAME [A2] <"}, {"+A3", "A1 A1/NAME A2 [A3] <"},
        {"<", "A1 A1/NAME [A2] A3 <>"}, {"<", "A1 [A1/NAME] A2 A3 <>"}, {"<", "[A1] A1/NAME A2 A3 >"},
        {"<", "[A1] A1/NAME A2 A3 >"}, // stops at the start
        {">", "A1 [A1/NAME] A2 A3 <>"}, {">", "A1 A1/NAME [A2] A3 <>"}, {">", "A1 A1/NAME A2 [A3] <"},
        {">", "A1 A1/NAME A2 [A3] <"}, // and at the end
        {"<", "A1 A1/NAME [A2] A3 <>"},
        {"+A3", "A1 A1/NAME [A2] A3 <>"}, // the last item again: nothing added, the cursor stays
        {"+A2", "A1 A1/NAME A2 [A2] <"}, // compared with the last item, not the current one
        {"<", "A1 A1/NAME [A2] A2 <>"}, {"<", "A1 [A1/NAME] A2 A2 <>"},
        {"+B9", "A1 A1/NAME [B9] <"}, // a new visit cuts the items ahead
        {"-3", "A1 [A1/NAME] <"}, {"-9", "A1 [A1/NAME] <"}, // outside: nothing happens
        {"-1", "[A1/NAME] "}, {"-1", ""}, {"+C1", "[C1] "},
    };
    esHistory h;
    for (const auto& [step, state] : script) {
        const std::string s = step;
        if (s[0] == '+') {
            const std::size_t slash = s.find('/');
            const std::string record = s.substr(1, slash - 1);
            h.Add("/d/a.esp", record.substr(0, 4), record, slash == std::string::npos ? "" : s.substr(slash + 1));
        } else if (s == "<") {
            h.Back();
        } else if (s == ">") {
            h.Forward();
        } else {
            h.Remove(static_cast<std::size_t>(std::stoi(s.substr(1))));
        }
        EXPECT_EQ(State(h), state) << "after " << step;
    }
    EXPECT_THROW(h.Item(2), std::out_of_range);
}
