#include "model/SharedBytes.h"

namespace vellum {

void SharedBytes::Assign(Bytes owned) {
    auto store = std::make_shared<const Bytes>(std::move(owned));
    data_ = store->data();
    size_ = static_cast<std::uint32_t>(store->size());
    owner_ = std::move(store);
    own_ = true;
}

void SharedBytes::Reset() {
    owner_.reset();
    own_ = false;
    data_ = nullptr;
    size_ = 0;
}

bool SharedBytes::IsShared() const { return owner_ && (!own_ || owner_.use_count() > 1); }

std::uint8_t* SharedBytes::MutableData() {
    if (!owner_) return nullptr;
    if (IsShared()) Assign(ToBytes());
    // Sole owner of a buffer made here: writing through it is safe.
    return const_cast<std::uint8_t*>(data_);
}

} // namespace vellum
