#pragma once

#include "model/Bytes.h"
#include "model/Property.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellum {

class PropertyCodec;
struct RecordEntry;

// The subrecords of a record as readers of whole files see them, without unpacking anything:
// a packed record is split in place the way unpacking splits it (same template subrecord
// types and keys), an unpacked one is shown as it stands, its edits encoded. Views stay valid
// until the next Read.
class SubrecordViews {
public:
    struct View {
        std::string_view name; // template subrecord type; its first four characters are the name
        std::string_view key;  // the key of an unpacked record's subrecord; see KeyOf
        ByteSpan data;
        const Properties* decoded = nullptr; // the properties of a decoded subrecord
    };

    explicit SubrecordViews(const PropertyCodec& codec) : codec_(codec) {}

    const std::vector<View>& Read(const RecordEntry& record);
    const std::vector<View>& Views() const { return views_; }

    // The key of view `i`: for a packed record the key unpacking would give it. Linear in `i`,
    // so readers ask only for the keys they show.
    std::string KeyOf(std::size_t i) const;

    // The record type a record's subrecords are looked up under in the template.
    static std::string_view TypeOf(const RecordEntry& record);

    // The bytes the record would be packed into now.
    Bytes CurrentData(const RecordEntry& record);

private:
    void Split(const RecordEntry& record);
    void Unpacked(const RecordEntry& record);

    const PropertyCodec& codec_;
    std::vector<View> views_;
    std::vector<std::string> names_, raws_;
    std::vector<Bytes> edited_;
};

} // namespace vellum
