#pragma once

#include "model/Bytes.h"
#include "model/Property.h"
#include "template/SubrecordLayout.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vellum {

class PropertyCodec;

// The properties of a subrecord as name and text, exactly as PropertyCodec::Decode followed by
// Property::Text() gives them, but written into reused buffers without building Property
// objects: the dump and the search read every subrecord of a file this way. Anything out of
// the ordinary (a value cut short, a template error) goes through the codec itself, so its
// messages and results stay the codec's.
class PropertyTexts {
public:
    struct Item {
        std::string_view name;
        std::size_t begin = 0, size = 0; // in Text()
        bool text = false;               // a text property; others never hold line breaks
    };

    explicit PropertyTexts(const PropertyCodec& codec) : codec_(codec) {}

    // False when the codec reports a template error (no properties then).
    bool Decode(std::string_view recordType, std::string_view subType, ByteSpan data);

    const std::vector<Item>& Items() const { return items_; }
    std::string_view Value(const Item& item) const { return std::string_view(text_).substr(item.begin, item.size); }

    // True when the template group of the subrecord declares a "STRING" property.
    bool HasString(std::string_view recordType, std::string_view subType);

private:
    struct LayoutInfo {
        std::vector<bool> skip; // a line whose name an earlier line took: the codec drops it
        bool plain = true;      // no line the fast path leaves to the codec
        bool hasString = false;
    };
    const LayoutInfo& Info(const SubrecordLayout& layout);
    bool Fast(const SubrecordLayout& layout, const LayoutInfo& info, ByteSpan data);
    // A fixed-size number at `pos`; false when the data ends first.
    template <class T>
    bool Fixed(const std::uint8_t* d, std::size_t left, std::size_t& pos);
    bool Slow(std::string_view recordType, std::string_view subType, ByteSpan data);
    void Add(std::string_view name, std::size_t begin, bool text = false);

    const PropertyCodec& codec_;
    std::vector<Item> items_;
    std::string text_;
    Properties scratch_;
    std::unordered_map<const SubrecordLayout*, LayoutInfo> info_;
    unsigned long generation_ = ~0ul;
};

} // namespace vellum
