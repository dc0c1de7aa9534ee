#pragma once

#include "model/Bytes.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vellum {

// A byte array that may be a view into a larger shared buffer (the file read in one go) until
// it is changed: the first write copies the viewed bytes into a buffer of its own. Copies share
// the bytes, so copying a record entry never copies its data.
class SharedBytes {
public:
    SharedBytes() = default;
    // A view of `size` bytes at `data`, which `owner` keeps alive.
    SharedBytes(std::shared_ptr<const void> owner, const std::uint8_t* data, std::size_t size)
        : owner_(std::move(owner)), data_(data), size_(static_cast<std::uint32_t>(size)) {}
    explicit SharedBytes(Bytes owned) { Assign(std::move(owned)); }

    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    ByteSpan span() const { return {data_, size_}; }
    operator ByteSpan() const { return span(); }
    std::uint8_t operator[](std::size_t i) const { return data_[i]; }
    Bytes ToBytes() const { return Bytes(data_, data_ + size_); }

    void Assign(Bytes owned);
    void Reset(); // no bytes at all
    // The bytes, made this array's own first; size stays.
    std::uint8_t* MutableData();
    // True while the bytes lie in a buffer that other arrays share.
    bool IsShared() const;

private:
    std::shared_ptr<const void> owner_;
    const std::uint8_t* data_ = nullptr;
    std::uint32_t size_ = 0; // a record holds less than 2 GB
    bool own_ = false;       // owner_ is a buffer made for this array alone (by Assign)
};

} // namespace vellum
