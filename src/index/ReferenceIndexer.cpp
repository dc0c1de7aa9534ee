#include "index/ReferenceIndexer.h"

#include "index/IdxFile.h"
#include "index/IndexFileWriter.h"
#include "index/RawSubrecords.h"
#include "index/ReferenceReader.h"
#include "model/Progress.h"
#include "model/Prompt.h"
#include "model/esfile.h"
#include "template/PropertyCodec.h"
#include "template/esTextLookups.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

namespace vellum {

namespace {
constexpr std::string_view kIndexing = "Indexing object references ";
}

std::string_view IndexTitle(const esfile& file) {
    if (!file.FileTitle.empty()) return file.FileTitle;
    std::string_view name = file.FileName;
    std::size_t slash = name.find_last_of('/');
    return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

std::filesystem::path ReferenceIndexer::RefIndexPath(const esfile& file) const {
    std::uint32_t hash = 2166136261u; // FNV-1a: the same name in every run
    for (const char c : file.FileName) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    char hex[10];
    std::snprintf(hex, sizeof hex, ".%08x", hash);
    return vellum::RefIndexPath(dir_, std::string(IndexTitle(file)) + hex);
}

std::filesystem::path ReferenceIndexer::IdxPath(const esfile& file) const {
    return vellum::IdxPath(dir_, IndexTitle(file));
}

bool ReferenceIndexer::RefIndexExists(const esfile& file) const {
    std::error_code ec;
    return std::filesystem::is_regular_file(RefIndexPath(file), ec);
}

void ReferenceIndexer::BuildReferenceIndex(esfile& file, Progress* progress) {
    WriteReferenceIndex(file, progress);
}

bool ReferenceIndexer::Fresh(const esfile& file) const {
    const auto stamp = stamps_.find(file.Serial());
    if (stamp == stamps_.end()) return false;
    const Stamp& s = stamp->second;
    std::error_code ec, sec;
    const auto written = std::filesystem::last_write_time(s.path, ec);
    const auto size = std::filesystem::file_size(s.path, sec);
    return !ec && !sec && s.revision == file.Revision() && s.path == RefIndexPath(file) && written == s.written &&
           size == s.size;
}

std::filesystem::path ReferenceIndexer::CurrentRefIndex(esfile& file, Progress* progress) {
    if (Fresh(file) || WriteReferenceIndex(file, progress)) return RefIndexPath(file);
    return {};
}

bool ReferenceIndexer::WriteReferenceIndex(esfile& file, Progress* progress) {
    const std::uint64_t revision = file.Revision();
    if (progress) progress->Waiting(-1, kIndexing);
    esTextLookups lookups;
    BuildTextLookupList(lookups, file.Template());
    IndexFileWriter out(RefIndexPath(file));
    ReferenceReader reader(file.Template(), lookups);
    const PropertyCodec& codec = file.Codec();

    int counter = 0;
    std::size_t read = 0;
    auto& records = file.Records();
    if (!lookups.empty()) {
        for (std::size_t p = 0; p < records.size(); ++p) {
            RecordEntry& r = records[p];
            read += static_cast<std::size_t>(std::max(r.Size, 0));
            if (read >= esfile::kReleaseEvery) {
                file.ReleaseFilePages();
                read = 0;
            }
            if (progress && ++counter >= 3500) {
                counter = 0;
                progress->Waiting(-1, std::string(kIndexing) + r.Key);
            }
            const std::string_view type = r.Name;
            if (!reader.HasLookups(type)) continue;
            const auto index = static_cast<std::int32_t>(p);

            if (!r.Packed && r.SubRecords) {
                std::int32_t k = 0;
                for (const auto& e : *r.SubRecords) {
                    ++k;
                    const Subrecord& s = e.value;
                    if (progress && ++counter >= 1500) {
                        counter = 0;
                        progress->Waiting(-1, std::string(kIndexing) + r.Key + "/" + s.Name);
                    }
                    const ReferenceReader::Plan& plan = reader.PlanFor(type, s.Name);
                    if (!plan.Indexed) continue;
                    std::string_view value;
                    Properties decoded;
                    if (!s.Packed) {
                        value = reader.Value(plan, s.Properties);
                    } else if (plan.Single) {
                        value = ReferenceReader::Value(plan, s.Data);
                    } else if (codec.Decode(type, s.Name, s.Data, decoded)) {
                        value = reader.Value(plan, decoded);
                    }
                    out.WriteRefEntry(value, index, k, type, s.Name, plan.PropertyName);
                }
                continue;
            }

            if (!r.Loaded) file.LoadRecord(index);
            ForEachRawSubrecord(r.Data.span(), [&](const RawSubrecord& s) {
                std::string_view sub = s.Name;
                if (s.Offset != 0 && sub == "NAME" && type == "CELL") sub = "NAME_NEXT";
                const ReferenceReader::Plan& plan = reader.PlanFor(type, sub);
                if (plan.Indexed) {
                    std::string_view value = ReferenceReader::Value(plan, s.Data);
                    if (!value.empty()) out.WriteRefEntry(value, index, 0, type, sub, plan.PropertyName);
                }
                return true;
            });
        }
    }
    file.ReleaseFilePages();
    const std::filesystem::path path = RefIndexPath(file);
    Stamp& stamp = stamps_[file.Serial()];
    std::error_code ec;
    if (!stamp.path.empty() && stamp.path != path) std::filesystem::remove(stamp.path, ec); // saved as another name
    stamp = {};
    if (!out.Finish()) {
        stamps_.erase(file.Serial());
        CurrentPrompt().Message("Function BuildReferenceIndex: 75 - " + out.Error());
        return false;
    }
    stamp.revision = revision;
    stamp.path = path;
    stamp.written = std::filesystem::last_write_time(path, ec);
    stamp.size = std::filesystem::file_size(path, ec);
    return true;
}

bool ReferenceIndexer::BuildIndex(esfile& file, Progress* progress) {
    std::vector<IdxCategory> categories;
    categories.reserve(file.esRecArrayCatIndex().Count());
    for (const auto& c : file.esRecArrayCatIndex()) {
        IdxCategory& cat = categories.emplace_back();
        cat.Key = c.key;
        cat.IDs.reserve(c.value.esRecIDIndex.Count());
        for (const auto& id : c.value.esRecIDIndex) cat.IDs.push_back(id.key);
    }
    return WriteIdxFile(IdxPath(file), categories, progress);
}

} // namespace vellum
