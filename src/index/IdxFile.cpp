#include "index/IdxFile.h"

#include "index/IndexFileWriter.h"
#include "index/IndexStringReader.h"
#include "index/esCheckedEntries.h"
#include "model/KeyedCollection.h"
#include "model/Progress.h"
#include "model/Prompt.h"
#include "model/Text.h"

#include <charconv>
#include <system_error>

namespace vellum {

std::filesystem::path RefIndexPath(const std::filesystem::path& indicesDir, std::string_view title) {
    return indicesDir / (std::string(title) + ".rdx");
}

std::filesystem::path IdxPath(const std::filesystem::path& indicesDir, std::string_view title) {
    return indicesDir / (std::string(title) + ".idx");
}

bool WriteIdxFile(const std::filesystem::path& idx, std::span<const IdxCategory> categories,
                  Progress* progress) {
    IndexFileWriter out(idx);
    out.WriteIndexNumber(static_cast<std::int64_t>(categories.size()));
    for (const IdxCategory& c : categories) out.WriteIndexString(c.Key);
    int counter = 30;
    auto step = [&](std::string_view label, std::string_view what) {
        if (++counter > 30) {
            counter = 0;
            if (progress) progress->Waiting(-1, std::string(label) + std::string(what));
        }
    };
    for (const IdxCategory& c : categories) {
        step("Indexing Category ", c.Key);
        std::int64_t block = 0;
        for (std::string_view id : c.IDs) block += 4 + static_cast<std::int64_t>(id.size());
        out.WriteIndexString(c.Key);
        out.WriteIndexNumber(static_cast<std::int64_t>(c.IDs.size()));
        out.WriteIndexNumber(block);
        for (std::string_view id : c.IDs) {
            step("Indexing ID ", id);
            out.WriteIndexString(id);
        }
    }
    bool ok = out.Finish();
    if (!ok) CurrentPrompt().Message("Function BuildIndex: 75 - " + out.Error());
    if (progress) progress->DoneWaiting();
    return ok;
}

namespace {

// Walks an .idx file; every reader of it shares the damage report.
class IdxReader {
public:
    IdxReader(const std::filesystem::path& file, std::string_view function)
        : reader_(file), function_(function) {}

    bool Missing() const { return !reader_.IsOpen(); }

    bool Text(std::string_view& out) {
        if (reader_.Next(out)) return true;
        Report();
        return false;
    }
    bool Number(std::int64_t& out) {
        std::string_view s;
        if (!Text(s)) return false;
        auto r = std::from_chars(s.data(), s.data() + s.size(), out);
        if (r.ec != std::errc() || r.ptr != s.data() + s.size() || out < 0) {
            Damaged(13, "Type mismatch");
            return false;
        }
        return true;
    }
    bool Skip(std::int64_t bytes) {
        if (reader_.Skip(bytes)) return true;
        Report();
        return false;
    }
    // Reads the category list; false when damaged.
    bool Categories(KeyedCollection<bool>& into) {
        std::int64_t n = 0;
        if (!Number(n)) return false;
        for (std::int64_t i = 0; i < n; ++i) {
            std::string_view key;
            if (!Text(key)) return false;
            into.Add(std::string(key), true);
        }
        return true;
    }
    bool SkipCategories() {
        std::int64_t n = 0;
        if (!Number(n)) return false;
        for (std::int64_t i = 0; i < n; ++i) {
            std::string_view key;
            if (!Text(key)) return false;
        }
        return true;
    }
    bool AtEnd() const { return reader_.AtEnd(); }

private:
    void Report() {
        if (reader_.state() != IndexStringReader::State::End)
            Damaged(reader_.ErrorNumber(), reader_.ErrorDescription());
        else Damaged(62, "Input past end of file (" + reader_.path().string() + ")");
    }
    void Damaged(int number, const std::string& description) {
        if (reported_) return;
        reported_ = true;
        CurrentPrompt().Message("Function " + std::string(function_) + ": " +
                                std::to_string(number) + " - " + description);
    }

    IndexStringReader reader_;
    std::string_view function_;
    bool reported_ = false;
};

// Calls visit(key, count, reader) for each category block until it returns true (found) or the
// file ends; the visitor must consume or skip the block's IDs.
template <class Visit>
bool EachBlock(IdxReader& in, Visit visit) {
    if (in.Missing() || !in.SkipCategories()) return false;
    while (!in.AtEnd()) {
        std::string_view keyView;
        std::int64_t count = 0, bytes = 0;
        if (!in.Text(keyView)) return false;
        std::string key(keyView);
        if (!in.Number(count) || !in.Number(bytes)) return false;
        int r = visit(key, count, bytes);
        if (r != 0) return r > 0;
    }
    return false;
}

} // namespace

bool IdxFileExists(const std::filesystem::path& indicesDir, std::string_view title) {
    std::error_code ec;
    return std::filesystem::is_regular_file(IdxPath(indicesDir, title), ec);
}

bool IdxHasCategory(const std::filesystem::path& indicesDir, std::string_view title,
                    std::string_view recordType) {
    IdxReader in(IdxPath(indicesDir, title), "IdxHasCategory");
    KeyedCollection<bool> categories;
    if (in.Missing() || !in.Categories(categories)) return false;
    return categories.Exists(recordType);
}

bool IdxHasID(const std::filesystem::path& indicesDir, std::string_view title,
              std::string_view recordType, std::string_view id, Progress* progress) {
    IdxReader in(IdxPath(indicesDir, title), "IdxHasID");
    return EachBlock(in, [&](const std::string& key, std::int64_t count, std::int64_t bytes) {
        if (progress)
            progress->Waiting(-1, "Checking Indices: " + std::string(title) + " " + key + "(" +
                                      std::to_string(count) + " entries)");
        if (!KeysEqual(key, recordType)) return in.Skip(bytes) ? 0 : -1;
        for (std::int64_t i = 0; i < count; ++i) {
            std::string_view candidate;
            if (!in.Text(candidate)) return -1;
            if (KeysEqual(candidate, id)) return 1;
        }
        return -1; // the category's IDs are all read: no match
    });
}

bool LoadIdxCategoryIDs(const std::filesystem::path& indicesDir, std::string_view title,
                        std::string_view recordType, esCheckedEntries& list) {
    list.clear();
    IdxReader in(IdxPath(indicesDir, title), "LoadIdxCategoryIDs");
    std::string file(title);
    return EachBlock(in, [&](const std::string& key, std::int64_t count, std::int64_t bytes) {
        if (!KeysEqual(key, recordType)) return in.Skip(bytes) ? 0 : -1;
        for (std::int64_t i = 0; i < count; ++i) {
            std::string_view id;
            if (!in.Text(id)) break; // keep what was read before the damage
            std::string s(id);
            list.Add(s, file, s);
        }
        return 1;
    });
}

} // namespace vellum
