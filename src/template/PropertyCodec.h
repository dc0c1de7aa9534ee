#pragma once

#include "model/Bytes.h"
#include "model/Property.h"
#include "template/RecordLayout.h"
#include "template/SubrecordLayout.h"

#include <memory>
#include <string>
#include <string_view>

namespace vellum {

class Config;

// Decodes subrecord bytes into typed properties by the format template, encodes them back,
// builds default contents for new subrecords and reads record IDs from raw record data.
// Pure with respect to records: it sees bytes and the template, never an esfile.
// The parsed layout of each template group is cached and rebuilt when the template changes;
// the cache makes the const members unsafe to call from two threads at once.
class PropertyCodec {
public:
    explicit PropertyCodec(const Config& templ);
    ~PropertyCodec();
    PropertyCodec(const PropertyCodec&) = delete;
    PropertyCodec& operator=(const PropertyCodec&) = delete;

    const Config& Template() const { return templ_; }

    // The name a subrecord is looked up under: "NPDT_12" for a 12-byte NPC_ NPDT, "DATA_24" for
    // a 24-byte CELL DATA, "NAME_NEXT" for a CELL NAME that is not the record's first
    // subrecord; otherwise the four-character name itself.
    static std::string TemplateSubrecordType(std::string_view recordType, std::string_view name,
                                             std::size_t size, bool firstInRecord);

    struct DecodeReport {
        int castErrors = 0;       // numeric reads past the end
        bool unknownData = false; // no template group, or bytes left over
        bool templateError = false;
    };

    // Decodes `data` of subrecord type `subType` (a template subrecord type) of a record of type
    // `recordType` into `out` (cleared first). False on a template error, which is shown once
    // ("<n>: <description>\n\nPossible cause: Error in format template entry for
    // record/subrecord type (last type = R.S)"); the caller then keeps the subrecord packed.
    bool Decode(std::string_view recordType, std::string_view subType, ByteSpan data,
                Properties& out, DecodeReport* report = nullptr) const;

    // Encodes every property in order. A property that is not Dirty is written exactly as it was
    // read (stored length, extra terminator zeros, kept Original bytes); a Dirty one as fresh.
    Bytes Encode(const Properties& props) const;

    // Encodes every property from its value alone, as if each had been edited: a zero-terminated
    // text gets one terminator (none when it had none at the data end), a fixed-size text is
    // padded with zeros to its stored size (its declared size when the value needs more).
    static Bytes EncodeFresh(const Properties& props);
    // Appends one property; `fresh` ignores how it was stored, as EncodeFresh.
    static void AppendProperty(const Property& p, Bytes& out, bool fresh);

    // Properties of a new subrecord: zero bytes of the declared length, 0, or empty text.
    // False when the template has no group for it.
    bool Defaults(std::string_view recordType, std::string_view subType, Properties& out) const;
    // The property of one template line as Defaults makes it: its type, declared and stored
    // size, lookups. False for a line that holds no property (unknown or missing type).
    static bool DefaultOf(const SubrecordLayout::Line& line, std::string_view recordType, Property& out);

    // The record's ID read from its packed data (a sequence of subrecords), by the record type's
    // PropID: composite IDs joined with ", ", @HexID parts as 8 hex digits without separator,
    // interior CELLs by name only, "PlayerSaveGame00000000" as "PlayerSaveGame", cut at the
    // first zero character and right-trimmed. Empty when the type has no PropID.
    std::string ReadID(std::string_view recordType, ByteSpan recordData) const;

    // The description text for lists, from the record type's PropDesc; empty when none.
    std::string ReadDescription(std::string_view recordType, ByteSpan recordData) const;

    // Parsed template groups. Pointers and references stay valid until the template changes
    // (Config::Generation) or the codec is destroyed.
    // Layout of group R.S (S a template subrecord type); nullptr when the template has none.
    const SubrecordLayout* Layout(std::string_view recordType, std::string_view subType) const;
    // Layout of group R: ID and description sources, HexID, Unique, parent/child instructions.
    const RecordLayout& RecordInfo(std::string_view recordType) const;
    // The names the template gives to the values of property `property` of group R.S (an
    // enumeration, or the bits of a bit field); nullptr when it gives none.
    std::shared_ptr<const ValueNames> NamesOf(std::string_view recordType, std::string_view subType,
                                              std::string_view property) const;
    // Parses every group of the template at once, so that its faulty lines are reported when
    // the template is read rather than when a group is first used.
    void ParseTemplate() const;

private:
    struct Cache;
    const Config& templ_;
    std::unique_ptr<Cache> cache_;
};

} // namespace vellum
