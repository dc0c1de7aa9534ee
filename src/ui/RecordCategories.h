#pragma once

#include <span>
#include <string_view>

namespace vellum::ui {

struct RecordCategory {
    std::string_view type;    // record type, four characters
    std::string_view caption; // shown in the record tree
};

// Every root node of the record tree, in order; shown for every file, empty or not.
std::span<const RecordCategory> RecordCategories();
// The caption of a record type's category; the type itself when it is not listed.
std::string_view CategoryCaption(std::string_view type);

} // namespace vellum::ui
