#pragma once

#include <string>
#include <string_view>

namespace vellum {

// One `name = value` entry (or "@" instruction) of a configuration file.
struct Variable {
    std::string Name;
    std::string Value;

    // Text before the first comma, untrimmed ("LONG, 4" gives "LONG").
    std::string_view Value1() const;
    // Text between the first and second comma ("LONG, 4" gives " 4"; "a,b,c" gives "b").
    std::string_view Value2() const;
    // Text after the second comma, untrimmed ("LONG,4,Skill" gives "Skill"; commas included).
    std::string_view Value3() const;
};

} // namespace vellum
