#include "tools/ToolList.h"

#include "model/Progress.h"
#include "model/Prompt.h"
#include "template/Config.h"
#include "tools/ToolCategories.h"
#include "tools/ToolScanner.h"

namespace vellum {

namespace fs = std::filesystem;

void ToolList::Load() {
    rows_.clear();
    const Group* g = settings_.FindGroup(ToolEntry::kGroup);
    if (!g) return;
    for (const auto& e : g->Variables)
        if (auto tool = ToolEntry::Parse(e.value.Name, e.value.Value)) rows_.push_back(std::move(*tool));
}

void ToolList::Save() {
    settings_.AddGroup(ToolEntry::kGroup);
    Group* g = settings_.FindGroup(ToolEntry::kGroup);
    g->Variables.clear();
    settings_.Touch();
    for (const ToolEntry& t : rows_)
        if (!t.Name.empty() && settings_.AddVar(ToolEntry::kGroup, t.Name, t.Value()) == -1)
            CurrentPrompt().Message("Configuration file error: Could not add variable setting '" + t.Name +
                                    "'. This could be caused by a duplicate entry");
}

std::size_t ToolList::Locate(int row, const fs::path& file) {
    bool document = ToolEntry::IsDocumentFile(file);
    if (row >= 0 && static_cast<std::size_t>(row) < rows_.size()) {
        rows_[row].Path = file.string();
        rows_[row].Document = document;
        return static_cast<std::size_t>(row);
    }
    std::string name = file.has_extension() ? file.stem().string() : file.filename().string();
    rows_.push_back({name, ToolEntry::kRoot, file.string(), document});
    return rows_.size() - 1;
}

bool ToolList::Remove(std::size_t row) {
    if (row >= rows_.size()) return false;
    if (CurrentPrompt().Ask("Are you sure you want to remove " + rows_[row].Name + "?", Buttons::YesNo) !=
        Answer::Yes)
        return false;
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
    return true;
}

bool ToolList::RemoveAll() {
    if (CurrentPrompt().Ask(kRemoveAllQuestion, Buttons::YesNo) != Answer::Yes) return false;
    rows_.clear();
    return true;
}

bool ToolList::Scan(const Config& signatures, Progress* progress, const std::vector<fs::path>& roots) {
    if (CurrentPrompt().Ask(ToolScanner::kQuestion, Buttons::YesNo) != Answer::Yes) return false;
    Save();
    ToolScanner scanner(signatures, settings_, progress);
    auto result = scanner.Scan(roots.empty() ? ToolScanner::FixedDrives() : roots);
    if (progress) progress->DoneWaiting();
    Load();
    if (result.unreadable > 0)
        CurrentPrompt().Message("The scan skipped " + std::to_string(result.unreadable) +
                                (result.unreadable == 1 ? " folder that" : " folders that") +
                                " could not be read.");
    return true;
}

std::vector<std::string> ToolList::CategoryChoices() const {
    std::vector<std::string> out{ToolEntry::kRoot};
    ToolCategories categories(settings_);
    for (const auto& c : categories.Rows()) out.push_back(c.Name);
    return out;
}

} // namespace vellum
