#include "model/FileStatistics.h"

#include "model/esfile.h"

#include <algorithm>

namespace vellum {

std::string FileStatistics::Grouped(long long n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return n < 0 ? "-" + out : out;
}

const char* FileStatistics::FileTypeText(int fileType) {
    switch (fileType) {
    case 0: return " Master file";
    case 1: return " Plugin file";
    case 2: return " Saved game file";
    default: return " Indeterminate (no header information)";
    }
}

FileStatistics::TypeCount FileStatistics::CountOf(const esfile& file, std::string_view type) {
    TypeCount t;
    t.Type = std::string(type);
    if (const auto* cat = file.esRecArrayCatIndex().Item(type)) {
        t.Total = cat->esRecArrayCatEntries.Count();
        for (const auto& e : cat->esRecArrayCatEntries) {
            const RecordChange c = file.ChangeOf(e.value.IndexNumber);
            t.Added += c == RecordChange::Added;
            t.Changed += c == RecordChange::Changed;
        }
    }
    t.Deleted = static_cast<std::size_t>(file.DeletedSinceLoad(type));
    return t;
}

FileStatistics FileStatistics::Of(esfile& file) {
    FileStatistics s;
    s.Title = file.FileTitle;
    s.SizeText = Grouped(file.FileSize()) + " bytes";
    s.TypeText = FileTypeText(file.FileType());
    s.RecordsText = Grouped(file.LastIndex());
    for (const auto& c : file.esRecArrayCatIndex()) s.Types.push_back(CountOf(file, c.key));
    s.Deleted = file.DeletedSinceLoad();
    for (const esfile::DeletedRecord& d : s.Deleted) {
        const bool listed = std::any_of(s.Types.begin(), s.Types.end(),
                                        [&](const TypeCount& t) { return KeysEqual(t.Type, d.Type); });
        if (!listed) s.Types.push_back(CountOf(file, d.Type));
    }
    s.Totals.Type = "Total";
    for (const TypeCount& t : s.Types) {
        s.Totals.Total += t.Total;
        s.Totals.Added += t.Added;
        s.Totals.Changed += t.Changed;
        s.Totals.Deleted += t.Deleted;
    }
    for (const auto& m : file.esMasterFiles()) s.Masters.push_back(m.value.Name);
    return s;
}

} // namespace vellum
