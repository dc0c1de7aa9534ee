#pragma once

#include <cstdint>
#include <string>

namespace vellum {

// A record whose index entries went stale (removed or moved by a delete or paste).
struct esKey {
    std::string Key;
    std::string ID;
    std::int32_t IndexNumber = 0;
};

} // namespace vellum
