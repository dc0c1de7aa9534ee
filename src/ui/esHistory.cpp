#include "ui/esHistory.h"

namespace vellum::ui {

const esHistoryItem* esHistory::Add(esHistoryItem place) {
    if (!items_.empty() && items_.back() == place)
        return nullptr;
    if (cursor_ > 0 && cursor_ < items_.size())
        items_.resize(cursor_);
    items_.push_back(std::move(place));
    cursor_ = items_.size();
    return &items_.back();
}

void esHistory::Remove(std::size_t position) {
    if (position < 1 || position > items_.size())
        return;
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(position - 1));
    if (cursor_ > items_.size())
        cursor_ = items_.size();
}

const esHistoryItem* esHistory::CurrentItem() {
    if (cursor_ > items_.size())
        cursor_ = items_.size();
    return cursor_ == 0 ? nullptr : &items_[cursor_ - 1];
}

void esHistory::Back() {
    if (cursor_ > 1)
        --cursor_;
}

void esHistory::Forward() {
    if (cursor_ < items_.size())
        ++cursor_;
}

} // namespace vellum::ui
