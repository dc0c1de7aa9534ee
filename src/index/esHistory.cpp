#include "index/esHistory.h"

#include <stdexcept>
#include <string>

namespace vellum {

const esHistoryItem* esHistory::Add(std::string fileKey, std::string catKey, std::string recordKey,
                                    std::string subRecordKey) {
    esHistoryItem item{std::move(fileKey), std::move(catKey), std::move(recordKey),
                       std::move(subRecordKey)};
    if (!items_.empty() && items_.back() == item) return nullptr;
    if (cursor_ > 0 && cursor_ < items_.size()) items_.resize(cursor_);
    items_.push_back(std::move(item));
    cursor_ = items_.size();
    return &items_.back();
}

const esHistoryItem& esHistory::Item(std::size_t position) const {
    if (position < 1 || position > items_.size())
        throw std::out_of_range("Invalid history position: " + std::to_string(position));
    return items_[position - 1];
}

void esHistory::Remove(std::size_t position) {
    if (position < 1 || position > items_.size()) return;
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(position - 1));
    if (items_.empty()) cursor_ = 0;
}

const esHistoryItem* esHistory::CurrentItem() {
    if (items_.empty()) return nullptr;
    if (cursor_ > items_.size()) cursor_ = items_.size();
    if (cursor_ == 0) cursor_ = 1;
    return &items_[cursor_ - 1];
}

void esHistory::Back() {
    if (cursor_ > 1) --cursor_;
}

void esHistory::Forward() {
    if (cursor_ < items_.size()) ++cursor_;
}

} // namespace vellum
