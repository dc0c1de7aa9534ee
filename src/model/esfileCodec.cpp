#include "model/esfile.h"

#include "model/ByteCast.h"
#include "model/Text.h"
#include "template/Config.h"

#include <algorithm>

namespace vellum {

bool esfile::UnpackSubRecord(RecordRef ref, std::string_view subrecordKey,
                             PropertyCodec::DecodeReport* report) {
    RecordEntry& r = Rec(ref);
    Subrecord* s = r.SubRecords ? r.SubRecords->Find(subrecordKey) : nullptr;
    if (!s) return false;
    if (!s->Packed) return true;
    Properties props;
    if (!codec_.Decode(CategoryOf(r), s->Name, s->Data, props, report)) return false;
    // Data keeps the bytes read: an unchanged subrecord is written back as it was.
    s->Properties = std::move(props);
    s->Packed = false;
    return true;
}

void esfile::PackSubRecord(RecordRef ref, std::string_view subrecordKey) {
    RecordEntry& r = Rec(ref);
    Subrecord* s = r.SubRecords ? r.SubRecords->Find(subrecordKey) : nullptr;
    if (!s || s->Packed) return;
    if (s->Edited()) {
        s->Data = codec_.Encode(s->Properties);
        s->Size = static_cast<std::int32_t>(s->Data.size());
    }
    s->Properties.clear();
    s->Packed = true;
}

Bytes esfile::CurrentData(const RecordEntry& r) const {
    if (r.Packed || !r.SubRecords) return r.Data.ToBytes();
    Bytes out;
    for (const auto& e : *r.SubRecords) {
        const Subrecord& s = e.value;
        Bytes encoded = s.Edited() ? codec_.Encode(s.Properties) : Bytes{};
        const Bytes& data = s.Edited() ? encoded : s.Data;
        const std::size_t t = out.size();
        out.resize(t + 8 + data.size());
        for (std::size_t k = 0; k < 4; ++k) out[t + k] = k < s.Name.size() ? std::uint8_t(s.Name[k]) : 0;
        cast::StoreU32(out.data() + t + 4, static_cast<std::uint32_t>(data.size()));
        std::copy(data.begin(), data.end(), out.begin() + static_cast<std::ptrdiff_t>(t + 8));
    }
    return out;
}

std::string esfile::GetID(RecordRef ref) {
    const int i = IndexOf(ref);
    RecordEntry& r = records_.at(static_cast<std::size_t>(i));
    const bool wasLoaded = r.Loaded;
    if (!wasLoaded) LoadRecord(i);
    // An unpacked record is read from its current bytes, so both states give the same ID.
    std::string id = r.Packed ? codec_.ReadID(CategoryOf(r), r.Data)
                              : codec_.ReadID(CategoryOf(r), CurrentData(r));
    if (!wasLoaded) UnLoadRecordNoSave(i);
    if (id != r.ID) {
        r.PreviousID = std::move(r.ID);
        r.ID = id;
    }
    return id;
}

std::string esfile::AddSubrecord(RecordRef ref, std::string_view subrecordType) {
    const int i = IndexOf(ref);
    if (records_.at(static_cast<std::size_t>(i)).Packed) UnPackRecord(i);
    RecordEntry& r = records_[static_cast<std::size_t>(i)];
    if (!r.SubRecords) r.SubRecords = std::make_shared<Subrecords>();
    Subrecords& subs = *r.SubRecords;
    const std::string recordType(CategoryOf(r));
    const SubrecordLayout* layout = codec_.Layout(recordType, subrecordType);
    if (layout && layout->Unique) {
        for (const auto& e : subs)
            if (KeysEqual(e.value.Name, subrecordType)) return "@NOTUNIQUE";
    }
    const int requirement = layout ? layout->Requirement : 0;
    const int lastGroup = subs.empty() ? 0 : subs.Item(subs.Count()).GroupNumber;
    int highestGroup = 0;
    for (const auto& e : subs) highestGroup = std::max(highestGroup, e.value.GroupNumber);

    std::size_t n = subs.Count() + 1;
    std::string key = std::string(subrecordType) + std::to_string(n);
    while (subs.Exists(key)) key = std::string(subrecordType) + std::to_string(++n);
    Subrecord& s = *subs.Add(key);
    // Name holds the template subrecord type, so that decoding finds its group; the name on
    // disk is its first four characters.
    s.Name = std::string(subrecordType);
    Properties defaults;
    if (codec_.Defaults(recordType, subrecordType, defaults)) s.Data = codec_.Encode(defaults);
    s.Size = static_cast<std::int32_t>(s.Data.size());
    s.Requirement = requirement;
    if (requirement == 1)
        s.GroupNumber = highestGroup + (layout->StartsGroup ? 1 : 0);
    else if (lastGroup > 0)
        s.GroupNumber = lastGroup;
    return key;
}

int esfile::AddRecord(std::string_view recordType) {
    const Config& templ = Template();
    if (codec_.RecordInfo(recordType).Unique) {
        const esRecArrayCatIndexEntries* cat = catIndex_.Item(recordType);
        if (cat && !cat->esRecArrayCatEntries.empty())
            return cat->esRecArrayCatEntries.Item(1).IndexNumber;
    }
    const int i = static_cast<int>(records_.size());
    RecordEntry& r = records_.emplace_back();
    r.Name = std::string(recordType.substr(0, 4));
    // After a delete, keys keep their text while positions close up, so type + position may
    // be taken already: the next free number keeps the key's form.
    r.Key = r.Name + std::to_string(i);
    for (int n = i + 1; keyIndex_.Exists(r.Key); ++n) r.Key = r.Name + std::to_string(n);
    r.FileName = FileName;
    r.Added = true;
    r.Loaded = true;
    r.Packed = true;
    r.Data.Assign({});
    lastIndex_ = i;
    IndexRecord(i);
    for (const auto& e : templ.Groups()) {
        const std::string& name = e.value.Name;
        if (name.size() <= recordType.size() + 1 || name[recordType.size()] != '.' ||
            !StartsWithNoCase(name, recordType))
            continue;
        const Variable* req = e.value.Instructions.Find("REQUIREMENT");
        if (req && ValInt(req->Value) == 2) AddSubrecord(i, name.substr(recordType.size() + 1));
    }
    return i;
}

void esfile::ClearSubrecordLookup(RecordRef ref, std::string_view subrecordKey) {
    const int i = IndexOf(ref);
    if (records_.at(static_cast<std::size_t>(i)).Packed) UnPackRecord(i);
    if (!UnpackSubRecord(i, subrecordKey)) return;
    for (auto& e : records_[static_cast<std::size_t>(i)].SubRecords->Item(subrecordKey).Properties)
        if (e.value.DataType == PropertyType::Text) e.value.SetValue(std::string{});
}

} // namespace vellum
