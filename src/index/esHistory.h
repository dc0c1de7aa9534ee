#pragma once

#include "index/esHistoryItem.h"

#include <cstddef>
#include <vector>

namespace vellum {

// Back/forward list of visited places with a cursor, like a browser's. Positions count from 1;
// the cursor is 0 while the list is empty.
class esHistory {
public:
    // Appends the place after cutting off everything past the cursor. Nothing happens (nullptr)
    // when the place equals the last item of the list, wherever the cursor is.
    const esHistoryItem* Add(std::string fileKey, std::string catKey, std::string recordKey,
                             std::string subRecordKey);

    const esHistoryItem& Item(std::size_t position) const; // std::out_of_range when outside
    std::size_t Count() const { return items_.size(); }
    void Remove(std::size_t position);

    // The item at the cursor, pulling a cursor past the end back to the last item; nullptr
    // when the list is empty.
    const esHistoryItem* CurrentItem();
    std::size_t CurrentItemIndex() const { return cursor_; }

    void Back();    // not below 1
    void Forward(); // not beyond Count

    // The window's Back and Forward buttons.
    bool CanGoBack() const { return cursor_ >= 2; }
    bool CanGoForward() const { return cursor_ < items_.size(); }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<esHistoryItem> items_;
    std::size_t cursor_ = 0;
};

} // namespace vellum
