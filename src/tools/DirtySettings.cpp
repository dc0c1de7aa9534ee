#include "tools/DirtySettings.h"

#include "index/RawSubrecords.h"
#include "model/Prompt.h"

#include <charconv>
#include <cstring>
#include <fstream>
#include <sstream>

namespace vellum {

bool DirtySettings::Load(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        CurrentPrompt().Message("Warning: The list of dirty game settings " + file.string() +
                                " could not be read; game settings are only compared with the masters.");
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    Read(text.str(), file.string());
    return Count() > 0;
}

void DirtySettings::Read(std::string_view text, const std::string& name) {
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        auto bad = [&](const std::string& why) {
            CurrentPrompt().Message("Warning: " + name + ", line " + std::to_string(lineNumber) + ": " + why +
                                    "; the line is skipped.");
        };
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos || tab == 0) {
            bad("expected a setting's ID, a tab and its value");
            continue;
        }
        const std::string_view id = line.substr(0, tab), value = line.substr(tab + 1);
        Entry e;
        e.kind = static_cast<char>(id.front() | 0x20);
        const char* first = value.data();
        const char* last = first + value.size();
        if (e.kind == 's') {
            e.text = std::string(value);
        } else if (e.kind == 'i') {
            std::int32_t n = 0;
            if (std::from_chars(first, last, n).ptr != last || value.empty()) {
                bad("the value of an integer setting is no whole number");
                continue;
            }
            e.bits = static_cast<std::uint32_t>(n);
        } else if (e.kind == 'f') {
            float f = 0;
            const auto r = std::from_chars(first, last, f);
            if (r.ptr != last || r.ec != std::errc() || value.empty()) {
                bad("the value of a float setting is no number");
                continue;
            }
            std::memcpy(&e.bits, &f, 4);
        } else {
            bad("the ID does not begin with s, i or f");
            continue;
        }
        if (!entries_.Add(std::string(id), std::move(e))) bad("the setting is listed twice");
    }
}

bool DirtySettings::IsDirty(std::string_view id, ByteSpan data) const {
    const Entry* e = entries_.Find(id);
    if (!e) return false;
    const std::string_view value = e->kind == 's' ? "STRV" : e->kind == 'i' ? "INTV" : "FLTV";
    bool dirty = false;
    ForEachRawSubrecord(data, [&](const RawSubrecord& s) {
        if (s.Name != value) return true;
        if (e->kind == 's') {
            std::string_view text(reinterpret_cast<const char*>(s.Data.data()), s.Data.size());
            text = text.substr(0, text.find('\0'));
            dirty = text == e->text;
        } else if (s.Data.size() == 4) {
            std::uint32_t bits;
            std::memcpy(&bits, s.Data.data(), 4);
            dirty = bits == e->bits;
        }
        return false;
    });
    return dirty;
}

} // namespace vellum
