#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vellum::ui {

// One visited place of the low-level editor; empty keys mean the visit stopped higher up.
struct esHistoryItem {
    std::string FileKey, CatKey, RecordKey, SubRecordKey;
    bool operator==(const esHistoryItem&) const = default;
};

// The visited places with a cursor, like a browser's: going back moves the cursor, a new visit
// cuts off everything after it. Positions count from 1; the cursor is 0 while empty.
class esHistory {
public:
    // Nothing is added (nullptr) when the place equals the last item of the list.
    const esHistoryItem* Add(esHistoryItem place);
    const esHistoryItem& Item(std::size_t position) const { return items_.at(position - 1); }
    std::size_t Count() const { return items_.size(); }
    void Remove(std::size_t position);
    // The item at the cursor (the cursor is pulled back to Count first); nullptr when empty.
    const esHistoryItem* CurrentItem();
    std::size_t CurrentItemIndex() const { return cursor_; }
    void Back();    // not below 1
    void Forward(); // not beyond Count

    bool CanGoBack() const { return cursor_ >= 2; }
    bool CanGoForward() const { return cursor_ < items_.size(); }

private:
    std::vector<esHistoryItem> items_;
    std::size_t cursor_ = 0;
};

} // namespace vellum::ui
