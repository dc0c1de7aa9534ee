#include "convert/JsonExport.h"

#include "convert/HexText.h"
#include "convert/InputFile.h"
#include "convert/JsonForm.h"
#include "convert/JsonWriter.h"
#include "convert/SubrecordJson.h"
#include "index/RawSubrecords.h"
#include "model/AtomicOutput.h"
#include "model/BusyScope.h"
#include "model/ByteCast.h"
#include "model/Progress.h"
#include "model/Prompt.h"

#include <vector>

namespace vellum {

namespace {

constexpr std::size_t kFlushAt = std::size_t{1} << 20;
constexpr int kReportEvery = 500; // records

// Names that go into the JSON as they are: printable ASCII.
bool Printable(std::string_view name) {
    for (char c : name)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

struct RawRecord {
    std::string_view type;
    std::uint32_t header1 = 0, flags = 0;
    ByteSpan data;
};

// The whole records of `file` in order; `end` is where the last of them ends.
std::vector<RawRecord> ReadRecords(ByteSpan file, std::size_t& end) {
    std::vector<RawRecord> records;
    std::size_t p = 0;
    while (file.size() - p >= 16) {
        const std::uint8_t* h = file.data() + p;
        const std::uint32_t size = cast::LoadU32(h + 4);
        const std::string_view type(reinterpret_cast<const char*>(h), 4);
        if (!Printable(type) || size > file.size() - p - 16) break;
        records.push_back({type, cast::LoadU32(h + 8), cast::LoadU32(h + 12), file.subspan(p + 16, size)});
        p += 16 + size;
    }
    end = p;
    return records;
}

struct Busy {
    bool Busy = false;
};

} // namespace

bool JsonExport::Run(const std::filesystem::path& in, const std::filesystem::path& out, Progress* progress,
                     FileWriter* writer) const {
    Busy state;
    BusyScope scope(state, progress);
    std::error_code ec;
    if (std::filesystem::equivalent(in, out, ec)) {
        CurrentPrompt().Message("Error: The text form cannot be written over the file it is made from");
        return false;
    }
    InputFile file;
    if (!file.Open(in)) return false;
    std::size_t end = 0;
    const std::vector<RawRecord> records = ReadRecords(file.Bytes(), end);

    AtomicOutput output(out, writer);
    std::string text;
    text.reserve(kFlushAt + (kFlushAt >> 2));
    auto flush = [&] {
        const bool ok = output.Write(text);
        text.clear();
        return ok;
    };
    text += "{\n  ";
    JsonWriter::WriteString(jsonform::kFormatKey, text);
    text += ": ";
    JsonWriter::WriteString(jsonform::kFormat, text);
    text += ",\n  ";
    auto number = [&](std::string_view key, long long n) {
        JsonWriter::WriteString(key, text);
        text += ": " + std::to_string(n) + ",\n  ";
    };
    number(jsonform::kVersionKey, jsonform::kVersion);
    number(jsonform::kEncodingKey, codePage_);
    number(jsonform::kCountKey, records.empty() ? 0 : static_cast<long long>(records.size()) - 1);
    JsonWriter::WriteString(jsonform::kRecordsKey, text);
    text += ": [";
    if (!output.Open()) {
        CurrentPrompt().Message("Error: " + output.Error());
        return false;
    }

    const SubrecordJson subrecords(codec_, codePage_);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const RawRecord& r = records[i];
        text += i ? ",\n    {\"type\": " : "\n    {\"type\": ";
        JsonWriter::WriteString(r.type, text);
        text += ", \"flags\": " + std::to_string(r.flags);
        if (r.header1) text += ", \"header1\": " + std::to_string(r.header1);

        std::vector<RawSubrecord> subs;
        std::size_t covered = 0;
        bool names = true;
        ForEachRawSubrecord(r.data, [&](const RawSubrecord& s) {
            subs.push_back(s);
            covered = s.Offset + 8 + s.Data.size();
            names = names && Printable(s.Name);
            return true;
        });
        if (covered != r.data.size() || !names) {
            // Data that is no sequence of subrecords goes out as it is.
            text += ", \"hex\": \"";
            AppendHex(r.data, text);
            text += "\"}";
        } else {
            text += ", \"subrecords\": [";
            for (std::size_t k = 0; k < subs.size(); ++k) {
                text += k ? ",\n      " : "\n      ";
                JsonWriter::Write(subrecords.ToJson(r.type, subs[k].Name, subs[k].Data, k == 0), text);
            }
            text += subs.empty() ? "]}" : "\n    ]}";
        }
        if (text.size() >= kFlushAt && !flush()) break;
        if (progress && (i + 1) % kReportEvery == 0) {
            if (progress->Cancelled()) return false;
            progress->Waiting(100.0 * static_cast<double>(i + 1) / static_cast<double>(records.size()),
                              "Writing record " + std::to_string(i + 1));
        }
    }
    text += records.empty() ? "]" : "\n  ]";
    if (end < file.Bytes().size()) {
        text += ",\n  ";
        JsonWriter::WriteString(jsonform::kTrailingKey, text);
        text += ": \"";
        AppendHex(file.Bytes().subspan(end), text);
        text += "\"";
    }
    text += "\n}\n";
    if (!flush() || !output.Commit()) {
        CurrentPrompt().Message("Error: " + output.Error());
        return false;
    }
    return true;
}

} // namespace vellum
