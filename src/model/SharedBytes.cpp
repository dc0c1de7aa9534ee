#include "model/SharedBytes.h"

namespace vellum {

void SharedBytes::Assign(Bytes owned) {
    auto store = std::make_shared<const Bytes>(std::move(owned));
    data_ = store->data();
    size_ = store->size();
    store_ = std::move(store);
}

void SharedBytes::Reset() {
    store_.reset();
    data_ = nullptr;
    size_ = 0;
}

bool SharedBytes::IsShared() const {
    return store_ && (store_.use_count() > 1 || data_ != store_->data() || size_ != store_->size());
}

std::uint8_t* SharedBytes::MutableData() {
    if (!store_) return nullptr;
    if (IsShared()) Assign(ToBytes());
    // Sole owner of a buffer made here: writing through it is safe.
    return const_cast<std::uint8_t*>(data_);
}

} // namespace vellum
