#include "template/SearchCriteria.h"

#include "model/KeyedCollection.h"
#include "model/Text.h"
#include "template/Config.h"

#include <algorithm>

namespace vellum {

namespace {

inline char Up(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

bool EqualFolded(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Up(x) == Up(y); });
}

} // namespace

SearchCriteria SearchCriteria::FromInput(std::string_view text, std::string_view recordType,
                                         std::string_view subType, bool matchCase, bool wholePhrase,
                                         bool allFiles) {
    SearchCriteria c;
    c.Text = TrimRightSpaces(text);
    c.RecordType = ToUpper(TrimRightSpaces(recordType).substr(0, 4));
    c.SubType = TrimRightSpaces(subType).substr(0, 4);
    c.MatchCase = matchCase;
    c.WholePhrase = wholePhrase;
    c.AllFiles = allFiles;
    return c;
}

bool SearchCriteria::CanFind(std::string_view text, std::string_view recordType, std::string_view subType) {
    return !text.empty() || !recordType.empty() || !subType.empty();
}

bool SearchCriteria::Matches(std::string_view value) const {
    std::string_view t = Text;
    if (WholePhrase) return MatchCase ? value == t : EqualFolded(value, t);
    if (MatchCase) return value.find(t) != std::string_view::npos;
    if (t.size() > value.size()) return false;
    auto it = std::search(value.begin(), value.end(), t.begin(), t.end(),
                          [](char x, char y) { return Up(x) == Up(y); });
    return it != value.end() || t.empty();
}

std::vector<std::string> SearchCriteria::RecordTypes(const Config& templ) {
    std::vector<std::string> out;
    KeyedCollection<bool> seen;
    for (const auto& g : templ.Groups()) {
        std::string_view name = g.value.Name;
        if (name.empty() || name.find('.') != std::string_view::npos || name.front() == '@') continue;
        if (g.value.Instructions.Exists("FollowsParent")) continue;
        std::string type(name.substr(0, 4));
        if (seen.Add(type, true)) out.push_back(std::move(type));
    }
    return out;
}

std::vector<std::string> SearchCriteria::SubrecordTypes(const Config& templ, std::string_view recordType) {
    bool all = recordType.empty() || recordType.front() == '@';
    std::vector<std::string> out;
    KeyedCollection<bool> seen;
    for (const auto& g : templ.Groups()) {
        std::vector<std::string> parts = Split(g.value.Name, '.');
        if (parts.size() != 2 || parts[0].empty() || parts[0].front() == '@') continue;
        std::string p = parts[0].substr(0, 4), s = parts[1].substr(0, 4);
        if ((all || p == recordType) && seen.Add(s, true)) out.push_back(std::move(s));
    }
    return out;
}

} // namespace vellum
