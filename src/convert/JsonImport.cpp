#include "convert/JsonImport.h"

#include "convert/ConvertError.h"
#include "convert/HexText.h"
#include "convert/InputFile.h"
#include "convert/JsonForm.h"
#include "convert/JsonReader.h"
#include "convert/SubrecordJson.h"
#include "index/RawSubrecords.h"
#include "model/AtomicOutput.h"
#include "model/BusyScope.h"
#include "model/ByteCast.h"
#include "model/CodePage.h"
#include "model/Progress.h"
#include "model/Prompt.h"
#include "template/PropertyCodec.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace vellum {

namespace {

constexpr int kReportEvery = 500; // records

std::int64_t Whole(const JsonValue& v, std::string_view name, std::int64_t lo, std::int64_t hi) {
    std::int64_t n = 0;
    const char* end = v.text.data() + v.text.size();
    if (!v.IsNumber() || std::from_chars(v.text.data(), end, n).ptr != end || n < lo || n > hi)
        throw ConvertError("\"" + std::string(name) + "\" needs a whole number from " + std::to_string(lo) +
                               " to " + std::to_string(hi),
                           v.line);
    return n;
}

// A record header field: 32 bits, written unsigned, also taken as a signed number.
std::uint32_t Field(const JsonValue& record, std::string_view name) {
    const JsonValue* v = record.Find(name);
    return v ? static_cast<std::uint32_t>(Whole(*v, name, INT32_MIN, UINT32_MAX)) : 0;
}

void PutU32(Bytes& out, std::size_t at, std::uint32_t v) { cast::StoreU32(out.data() + at, v); }

void AppendRecord(const JsonValue& r, const SubrecordJson& subrecords, Bytes& out) {
    if (!r.IsObject()) throw ConvertError("a record needs to be an object", r.line);
    OnlyMembers(r, {"type", "flags", "header1", "subrecords", "hex"}, "a record");
    const JsonValue* type = r.Find("type");
    const auto letter = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    if (!type || !type->IsString() || type->text.size() != 4 || !std::all_of(type->text.begin(), type->text.end(), letter))
        throw ConvertError("a record needs \"type\": four letters, digits or underscores", r.line);
    const std::size_t start = out.size();
    out.resize(start + 16);
    std::copy(type->text.begin(), type->text.end(), out.begin() + static_cast<std::ptrdiff_t>(start));
    PutU32(out, start + 8, Field(r, "header1"));
    PutU32(out, start + 12, Field(r, "flags"));
    if (const JsonValue* subs = r.Find("subrecords")) {
        if (!subs->IsArray()) throw ConvertError("\"subrecords\" needs a list", subs->line);
        for (std::size_t k = 0; k < subs->items.size(); ++k) {
            const JsonValue& sub = subs->items[k];
            Bytes data;
            try {
                data = subrecords.FromJson(type->text, sub, k == 0);
            } catch (const ConvertError& e) {
                const JsonValue* name = sub.Find("sub");
                throw ConvertError("subrecord " + std::to_string(k + 1) +
                                       (name && name->IsString() ? " (" + name->text + ")" : std::string()) + ": " +
                                       e.what(),
                                   e.line ? e.line : sub.line);
            }
            if (data.size() > INT32_MAX) throw ConvertError("a subrecord of more than 2 GB", sub.line);
            const std::size_t at = out.size();
            out.resize(at + 8);
            const std::string& name = sub.Find("sub")->text;
            std::copy(name.begin(), name.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
            PutU32(out, at + 4, static_cast<std::uint32_t>(data.size()));
            out.insert(out.end(), data.begin(), data.end());
        }
    } else if (const JsonValue* hex = r.Find("hex")) {
        Bytes data;
        if (!hex->IsString() || !FromHex(hex->text, data))
            throw ConvertError("\"hex\" needs bytes as pairs of hexadecimal digits", hex->line);
        out.insert(out.end(), data.begin(), data.end());
    } else {
        throw ConvertError("a record needs \"subrecords\" or \"hex\"", r.line);
    }
    const std::size_t size = out.size() - start - 16;
    if (size > INT32_MAX) throw ConvertError("a record of more than 2 GB", r.line);
    PutU32(out, start + 4, static_cast<std::uint32_t>(size));
}

// Sets the record count of the header record at the start of `file`; false when there is none.
bool SetRecordCount(Bytes& file, std::uint32_t count, const PropertyCodec& codec) {
    if (file.size() < 16 || std::string_view(reinterpret_cast<const char*>(file.data()), 4) != "TES3") return false;
    const ByteSpan data(file.data() + 16, cast::LoadU32(file.data() + 4));
    bool set = false;
    ForEachRawSubrecord(data, [&](const RawSubrecord& s) {
        if (s.Name != "HEDR") return true;
        Properties props;
        codec.Decode("TES3", "HEDR", s.Data, props);
        if (const Property* p = props.Find("NumRecords"); p && p->StoredLength == 4) {
            PutU32(file, 16 + s.Offset + 8 + p->Offset, count);
            set = true;
        }
        return false;
    });
    return set;
}

} // namespace

Bytes JsonImport::Convert(std::string_view text, Progress* progress) const {
    namespace f = jsonform;
    JsonReader reader(text);
    reader.BeginObject();
    int codePage = codePage_;
    bool formatSeen = false, recordsSeen = false, countSeen = false;
    std::int64_t exportedCount = 0;
    std::size_t records = 0;
    Bytes out, trailing;
    out.reserve(text.size() / 2);
    std::string key;
    while (reader.NextMember(key)) {
        if (key == f::kRecordsKey) {
            if (recordsSeen) reader.Fail("\"records\" is given twice");
            recordsSeen = true;
            const SubrecordJson subrecords(codec_, codePage);
            reader.BeginArray();
            while (reader.NextItem()) {
                const JsonValue r = reader.ReadValue();
                try {
                    AppendRecord(r, subrecords, out);
                } catch (const ConvertError& e) {
                    const JsonValue* type = r.Find("type");
                    throw ConvertError("record " + std::to_string(records + 1) +
                                           (type && type->IsString() ? " (" + type->text + ")" : std::string()) +
                                           ": " + e.what(),
                                       e.line ? e.line : r.line);
                }
                if (++records % kReportEvery == 0 && progress) {
                    if (progress->Cancelled()) throw ConvertError("cancelled");
                    progress->Waiting(-1, "Reading record " + std::to_string(records));
                }
            }
            continue;
        }
        const JsonValue v = reader.ReadValue();
        if (key == f::kFormatKey) {
            if (!v.IsString() || v.text != f::kFormat)
                throw ConvertError("this is not Vellum's text form of a data file (its \"format\" is not \"" +
                                       std::string(f::kFormat) + "\")",
                                   v.line);
            formatSeen = true;
        } else if (key == f::kVersionKey) {
            if (Whole(v, key, 1, INT32_MAX) > f::kVersion)
                throw ConvertError("this text form is of a later version (" + v.text + ") than Vellum reads (" +
                                       std::to_string(f::kVersion) + ")",
                                   v.line);
        } else if (key == f::kEncodingKey) {
            if (recordsSeen) throw ConvertError("\"encoding\" has to come before \"records\"", v.line);
            codePage = static_cast<int>(Whole(v, key, 0, INT32_MAX));
            if (!IsSupportedCodePage(codePage))
                throw ConvertError("code page " + v.text + " is not one of 1250, 1251 and 1252", v.line);
        } else if (key == f::kCountKey) {
            exportedCount = Whole(v, key, 0, INT32_MAX);
            countSeen = true;
        } else if (key == f::kTrailingKey) {
            if (!v.IsString() || !FromHex(v.text, trailing))
                throw ConvertError("\"trailing\" needs bytes as pairs of hexadecimal digits", v.line);
        } else {
            throw ConvertError("the document has no member \"" + key + "\"", v.line);
        }
    }
    reader.End();
    if (!formatSeen) throw ConvertError("this is not Vellum's text form of a data file (it has no \"format\")", 1);
    if (!recordsSeen) throw ConvertError("the document has no \"records\"", 1);
    // Added or removed records: the header counts what is there now.
    if (records > 0 && (!countSeen || exportedCount != static_cast<std::int64_t>(records) - 1) &&
        !SetRecordCount(out, static_cast<std::uint32_t>(records - 1), codec_))
        CurrentPrompt().Message("Warning: The first record is no file header with a record count, so the count "
                                "was not brought up to date.");
    out.insert(out.end(), trailing.begin(), trailing.end());
    return out;
}

bool JsonImport::Run(const std::filesystem::path& in, const std::filesystem::path& out, Progress* progress,
                     FileWriter* writer) const {
    struct {
        bool Busy = false;
    } state;
    BusyScope scope(state, progress);
    InputFile json;
    if (!json.Open(in)) return false;
    Bytes file;
    try {
        file = Convert(json.Text(), progress);
    } catch (const JsonError& e) {
        CurrentPrompt().Message("Error: " + in.string() + ", line " + std::to_string(e.line) + ", column " +
                                std::to_string(e.column) + ": " + e.what() + ". Nothing was written.");
        return false;
    } catch (const ConvertError& e) {
        CurrentPrompt().Message("Error: " + in.string() + ", line " + std::to_string(e.line) + ": " + e.what() +
                                ". Nothing was written.");
        return false;
    }
    AtomicOutput output(out, writer);
    if (!output.Open() || !output.Write(file) || !output.Commit()) {
        CurrentPrompt().Message("Error: " + output.Error());
        return false;
    }
    return true;
}

} // namespace vellum
