#include "index/RefIndexReader.h"

#include "model/Prompt.h"

#include <charconv>

namespace vellum {

namespace {

// Splits at the zero byte; false when the text does not hold six fields with numeric
// positions.
bool SplitEntry(std::string_view text, RefIndexView& v) {
    std::string_view parts[6];
    std::size_t start = 0;
    for (int i = 0; i < 5; ++i) {
        std::size_t z = text.find('\0', start);
        if (z == std::string_view::npos) return false;
        parts[i] = text.substr(start, z - start);
        start = z + 1;
    }
    parts[5] = text.substr(start);
    auto number = [](std::string_view s, std::int32_t& out) {
        auto r = std::from_chars(s.data(), s.data() + s.size(), out);
        return r.ec == std::errc() && r.ptr == s.data() + s.size();
    };
    if (!number(parts[1], v.RecordIndex) || !number(parts[2], v.SubrecordIndex)) return false;
    v.ID = parts[0];
    v.RecordType = parts[3];
    v.SubrecordType = parts[4];
    v.PropertyName = parts[5];
    return true;
}

} // namespace

bool RefIndexReader::OpenRefIndex(const std::filesystem::path& rdx) {
    if (!reader_.Open(rdx)) return false;
    bEndOfRefIndex = reader_.AtEnd();
    return true;
}

void RefIndexReader::CloseRefIndex() {
    reader_.Close();
    bEndOfRefIndex = true;
}

void RefIndexReader::Fail(int number, const std::string& description) {
    bEndOfRefIndex = true;
    CurrentPrompt().Message("Function NextRefIndexEntry: " + std::to_string(number) + " - " +
                            description);
}

bool RefIndexReader::NextRefIndexView(RefIndexView& view) {
    if (bEndOfRefIndex) return false;
    std::string_view text;
    if (!reader_.Next(text)) {
        if (reader_.state() == IndexStringReader::State::End) bEndOfRefIndex = true;
        else Fail(reader_.ErrorNumber(), reader_.ErrorDescription());
        return false;
    }
    if (!SplitEntry(text, view)) {
        view = {};
        Fail(9, "Subscript out of range (" + reader_.path().string() + ", byte " +
                    std::to_string(reader_.position()) + ")");
        return false;
    }
    bEndOfRefIndex = reader_.AtEnd();
    return true;
}

RefIndexEntry RefIndexReader::NextRefIndexEntry() {
    RefIndexView view;
    if (!NextRefIndexView(view)) return {};
    return view.ToEntry();
}

} // namespace vellum
