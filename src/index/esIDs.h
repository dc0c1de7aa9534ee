#pragma once

#include "index/esID.h"

#include <string>
#include <vector>

namespace vellum {

// The ID sources of a category, in template order.
class esIDs : public std::vector<esID> {
public:
    esID& Add(std::string subID, std::string propID, bool multi) {
        push_back(esID{std::move(subID), std::move(propID), multi});
        return back();
    }
    std::size_t Count() const { return size(); }
};

} // namespace vellum
