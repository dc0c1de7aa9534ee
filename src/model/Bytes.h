#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vellum {

using Bytes = std::vector<std::uint8_t>;
using ByteSpan = std::span<const std::uint8_t>;

} // namespace vellum
