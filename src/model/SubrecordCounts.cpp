#include "model/SubrecordCounts.h"

#include "model/Subrecords.h"
#include "model/Text.h"
#include "template/PropertyCodec.h"

namespace vellum {

namespace {

// The integer a count is kept in: the group's first line, when it is one.
const SubrecordLayout::Line* CountLine(const SubrecordLayout& layout) {
    if (layout.Counts.empty() || layout.Lines.empty()) return nullptr;
    const SubrecordLayout::Line& line = layout.Lines.front();
    using Type = SubrecordLayout::Type;
    return line.Kind == Type::Long || line.Kind == Type::Short ? &line : nullptr;
}

} // namespace

bool UpdateSubrecordCounts(const PropertyCodec& codec, std::string_view recordType, Subrecords& subrecords) {
    bool changed = false;
    const std::size_t n = subrecords.Count();
    for (std::size_t i = 1; i <= n; ++i) {
        Subrecord& s = subrecords.Item(i);
        const SubrecordLayout* layout = codec.Layout(recordType, s.Name);
        const SubrecordLayout::Line* line = layout ? CountLine(*layout) : nullptr;
        if (!line) continue;
        std::int64_t count = 0;
        for (std::size_t k = i + 1; k <= n; ++k) count += KeysEqual(subrecords.Item(k).Name, layout->Counts) ? 1 : 0;
        const std::size_t size = line->Kind == SubrecordLayout::Type::Short ? 2 : static_cast<std::size_t>(line->Size);
        if (!s.Packed) {
            if (s.Properties.Count() == 0 || s.Properties.Item(1).Int() == count) continue;
            s.Properties.Item(1).SetValue(count);
        } else {
            if (s.Data.size() < size) continue; // too short to hold it: left as found
            std::int64_t stored = 0;
            for (std::size_t b = 0; b < size; ++b) stored |= std::int64_t(s.Data[b]) << (8 * b);
            if (stored == count) continue;
            for (std::size_t b = 0; b < size; ++b) s.Data[b] = static_cast<std::uint8_t>(count >> (8 * b));
        }
        changed = true;
    }
    return changed;
}

} // namespace vellum
