// A format template and packed record data of any shape: every subrecord decodes without harm,
// an unchanged decode encodes back to the same bytes, and IDs read safely.
// Input: template text, a line "====", then the record data (subrecords back to back).
#include "FuzzSupport.h"

#include "model/ByteCast.h"
#include "template/Config.h"
#include "template/PropertyCodec.h"

#include <cstdlib>
#include <set>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vellum;
    fuzz::InstallSilentPrompt();
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find("\n====\n");
    const std::string_view text = input.substr(0, split);
    ByteSpan record;
    if (split != std::string_view::npos) record = ByteSpan(data + split + 6, size - split - 6);

    Config templ;
    templ.OpenText(text);
    PropertyCodec codec(templ);
    codec.ParseTemplate();

    std::set<std::string> types{"CELL", "NPC_"};
    for (const auto& g : templ.Groups())
        if (types.size() < 8 && g.key.size() >= 4) types.insert(g.key.substr(0, 4));

    Properties props, again;
    for (const std::string& type : types) {
        (void)codec.ReadID(type, record);
        (void)codec.ReadDescription(type, record);
        std::size_t at = 0;
        bool first = true;
        while (record.size() - at >= 8) {
            const std::string_view name(reinterpret_cast<const char*>(record.data() + at), 4);
            const std::size_t n = cast::LoadU32(record.data() + at + 4);
            if (n > record.size() - at - 8) break;
            const ByteSpan sub = record.subspan(at + 8, n);
            const std::string subType = PropertyCodec::TemplateSubrecordType(type, name, n, first);
            if (codec.Decode(type, subType, sub, props)) {
                const Bytes same = codec.Encode(props);
                if (!std::equal(same.begin(), same.end(), sub.begin(), sub.end())) std::abort();
                codec.Decode(type, subType, PropertyCodec::EncodeFresh(props), again);
            }
            codec.Defaults(type, subType, props);
            (void)codec.Encode(props);
            at += 8 + n;
            first = false;
        }
    }
    return 0;
}
