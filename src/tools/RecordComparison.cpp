#include "tools/RecordComparison.h"

#include "convert/HexText.h"
#include "index/RawSubrecords.h"
#include "model/Prompt.h"
#include "model/Text.h"
#include "model/esfile.h"
#include "tools/Conflicts.h"

#include <algorithm>
#include <map>

namespace vellum {

namespace {

// Decoding reports nothing here: bytes the template cannot read are shown as bytes.
class QuietPrompt : public Prompt {
public:
    Answer Ask(std::string_view, Buttons, std::string_view) override { return Answer::OK; }
};

std::string ValueText(const Property& p) {
    if (p.DataType == PropertyType::Bytes || p.DataType == PropertyType::BitField) return ToHex(p.Raw());
    return p.Text();
}

} // namespace

RecordComparison::RecordComparison(std::vector<Version> versions) : versions_(std::move(versions)) {
    using Key = std::pair<std::string, int>; // subrecord name, occurrence
    struct Decoded {
        Bytes data;
        std::vector<Key> order;
        std::map<Key, std::pair<ByteSpan, Properties>> subs;
    };
    const std::size_t n = versions_.size();
    std::vector<Decoded> decoded(n);
    std::vector<Key> keys; // every version's subrecords merged, in order
    QuietPrompt quiet;
    ScopedPrompt scope(quiet);
    for (std::size_t v = 0; v < n; ++v) {
        const Version& version = versions_[v];
        if (!version.file || version.record < 0) continue;
        const esfile& f = *version.file;
        const std::string& type = f.Records()[static_cast<std::size_t>(version.record)].Name;
        Bytes scratch;
        const ByteSpan data = Conflicts::DataOf(f, version.record, scratch);
        Decoded& d = decoded[v];
        d.data.assign(data.begin(), data.end());
        std::map<std::string, int> seen;
        std::size_t after = 0; // where this version's next new key goes in `keys`
        ForEachRawSubrecord(ByteSpan(d.data), [&](const RawSubrecord& s) {
            Key key{std::string(s.Name), seen[std::string(s.Name)]++};
            const std::string sub = PropertyCodec::TemplateSubrecordType(type, ToUpper(s.Name), s.Data.size(), s.Index == 0);
            auto& entry = d.subs[key];
            entry.first = s.Data;
            f.Codec().Decode(type, sub, s.Data, entry.second);
            d.order.push_back(key);
            const auto at = std::find(keys.begin(), keys.end(), key);
            if (at == keys.end()) {
                keys.insert(keys.begin() + static_cast<std::ptrdiff_t>(after), key);
                ++after;
            } else {
                after = static_cast<std::size_t>(at - keys.begin()) + 1;
            }
            return true;
        });
    }

    for (const Key& key : keys) {
        Row head{key.first, key.second, {}, std::vector<std::optional<std::string>>(n), false};
        std::vector<std::string> properties;
        for (std::size_t v = 0; v < n; ++v) {
            const auto it = decoded[v].subs.find(key);
            if (it == decoded[v].subs.end()) continue;
            head.values[v] = std::to_string(it->second.first.size()) + " bytes";
            for (const auto& p : it->second.second)
                if (std::find(properties.begin(), properties.end(), p.key) == properties.end()) properties.push_back(p.key);
        }
        // The subrecord differs when its bytes do, or when a version lacks it.
        for (std::size_t v = 0; v < n && !head.differs; ++v) {
            const auto a = decoded[0].subs.find(key), b = decoded[v].subs.find(key);
            const bool ha = a != decoded[0].subs.end(), hb = b != decoded[v].subs.end();
            head.differs = ha != hb || (ha && !std::equal(a->second.first.begin(), a->second.first.end(),
                                                          b->second.first.begin(), b->second.first.end()));
        }
        rows_.push_back(head);
        for (const std::string& name : properties) {
            Row row{key.first, key.second, name, std::vector<std::optional<std::string>>(n), false};
            for (std::size_t v = 0; v < n; ++v) {
                const auto it = decoded[v].subs.find(key);
                if (it == decoded[v].subs.end()) continue;
                if (const Property* p = it->second.second.Find(name)) row.values[v] = ValueText(*p);
            }
            for (std::size_t v = 1; v < n; ++v) row.differs = row.differs || row.values[v] != row.values[0];
            rows_.push_back(std::move(row));
        }
    }
}

} // namespace vellum
