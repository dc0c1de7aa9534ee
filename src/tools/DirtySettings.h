#pragma once

#include "model/Bytes.h"
#include "model/KeyedCollection.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace vellum {

// The game settings that the game's editor of the expansions writes into plug-ins by accident,
// each with the value it writes. A setting is dirty when both its ID (letter case ignored) and
// its value match; another value is a deliberate change. The list is data shipped beside the
// program (DirtyGameSettings.txt): "ID<tab>value" per line, the kind of value (s text, i integer,
// f float) given by the ID's first letter as the game does; "#" starts a comment.
class DirtySettings {
public:
    static constexpr std::string_view kFileName = "DirtyGameSettings.txt";

    // Reads the list; a missing file and lines that cannot be read are reported (with the file
    // and line) and skipped. False when nothing could be read.
    bool Load(const std::filesystem::path& file);
    // Reads the list from text, `name` standing for the file in messages.
    void Read(std::string_view text, const std::string& name);

    // True when a game setting of that ID holding `data` (its record data) is on the list with
    // that value.
    bool IsDirty(std::string_view id, ByteSpan data) const;
    std::size_t Count() const { return entries_.Count(); }

private:
    struct Entry {
        char kind = 's';
        std::string text;     // s: the text, without terminator
        std::uint32_t bits = 0; // i: the integer, f: the float's bits
    };
    KeyedCollection<Entry> entries_;
};

} // namespace vellum
