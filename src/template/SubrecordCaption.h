#pragma once

#include <string>
#include <string_view>

namespace vellum {

class Config;

// How the tree and the form name a subrecord: its four letters and, in brackets, what the
// template's [@DESCRIPTION] group says of its group ("NPDT (NPC data)"); without a description
// the template subrecord type when it is a variant ("NAME (NAME_NEXT)"), else the letters alone.
std::string SubrecordCaption(const Config& templ, std::string_view recordType, std::string_view subType);

} // namespace vellum
