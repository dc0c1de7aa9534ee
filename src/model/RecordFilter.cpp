#include "model/RecordFilter.h"

#include "index/esCheckedEntries.h"
#include "model/esfile.h"
#include "template/ListedID.h"

#include <cctype>

namespace vellum {
namespace {

// Only libstdc++ offers a matcher that cannot take exponential time on a hostile expression.
constexpr std::regex::flag_type kExpressionFlags = std::regex::ECMAScript | std::regex::icase | std::regex::nosubs
#if defined(__GLIBCXX__)
                                                   | std::regex_constants::__polynomial
#endif
    ;

bool HasHighBytes(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

// Moves `i` past the character class that starts there; false when it does not end, or holds
// a class of its own ("[[:alpha:]]") or a leading ']', which this reader leaves alone.
bool SkipClass(std::string_view p, std::size_t& i) {
    std::size_t j = i + 1;
    if (j < p.size() && p[j] == '^') ++j;
    if (j < p.size() && p[j] == ']') return false;
    for (; j < p.size() && p[j] != ']'; ++j) {
        if (p[j] == '[') return false;
        if (p[j] == '\\') ++j;
    }
    if (j >= p.size()) return false;
    i = j + 1;
    return true;
}

bool SkipGroup(std::string_view p, std::size_t& i) {
    int depth = 0;
    while (i < p.size()) {
        const char c = p[i];
        if (c == '[') {
            if (!SkipClass(p, i)) return false;
            continue;
        }
        if (c == '\\') ++i;
        else if (c == '(') ++depth;
        else if (c == ')' && --depth == 0) {
            ++i;
            return true;
        }
        ++i;
    }
    return false;
}

// True when every match starts at the text's start: a leading '^' and no '|' outside groups.
bool AnchoredAtStart(std::string_view p) {
    if (p.empty() || p[0] != '^') return false;
    for (std::size_t i = 1; i < p.size();) {
        const char c = p[i];
        if (c == '|') return false;
        if (c == '[' ? !SkipClass(p, i) : c == '(' ? !SkipGroup(p, i) : false) return false;
        if (c != '[' && c != '(') i += c == '\\' ? 2 : 1;
    }
    return true;
}

// The longest run of characters that every match of `p` (an expression that compiles) holds one
// after the other, read from its outermost level alone; empty when unsure. Records without it
// need not go through the slow matcher.
std::string RequiredText(std::string_view p) {
    std::string best, run;
    const auto endRun = [&] {
        if (run.size() > best.size()) best = run;
        run.clear();
    };
    std::size_t i = 0;
    while (i < p.size()) {
        bool literal = false;
        char ch = p[i];
        switch (ch) {
        case '|': return {};
        case '\\':
            if (i + 1 >= p.size()) return {};
            ch = p[i + 1];
            i += 2;
            literal = std::ispunct(static_cast<unsigned char>(ch)) != 0;
            if (!literal) // \d, \x41, \u00e9, \cM...: their letters and digits are no text
                while (i < p.size() && std::isalnum(static_cast<unsigned char>(p[i]))) ++i;
            break;
        case '[':
            if (!SkipClass(p, i)) return {};
            break;
        case '(':
            if (!SkipGroup(p, i)) return {};
            break;
        case '.': case '^': case '$': case ')': case ']': case '}': case '*': case '+': case '?': case '{':
            ++i;
            break;
        default:
            literal = true;
            ++i;
        }
        const char q = i < p.size() ? p[i] : '\0';
        if (q == '*' || q == '+' || q == '?' || q == '{') {
            if (literal && q == '+') run += ch;
            endRun();
            if (q == '{') {
                const std::size_t close = p.find('}', i);
                if (close == std::string_view::npos) return {};
                i = close;
            }
            ++i;
            if (i < p.size() && p[i] == '?') ++i; // lazy
            continue;
        }
        if (literal) run += ch;
        else endRun();
    }
    endRun();
    return best;
}

} // namespace

std::string RecordFilter::Small(std::string_view text, bool highOnly) const {
    std::string out(text);
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if (!highOnly || b >= 0x80)
            c = static_cast<char>(small_[b]);
    }
    return out;
}

bool RecordFilter::SetText(std::string_view text, int codePage) {
    small_ = SmallLetterBytes(codePage);
    needle_.clear();
    expression_.reset();
    error_.clear();
    if (text.size() < 2 || text.front() != '/' || text.back() != '/') {
        needle_ = Small(text, false);
        return true;
    }
    const std::string_view pattern = text.substr(1, text.size() - 2);
    if (pattern.size() > kMaxExpression) {
        error_ = "The expression is longer than " + std::to_string(kMaxExpression) + " characters.";
        return false;
    }
    if (pattern.empty())
        return true;
    // The matcher folds ASCII letters itself; other letters are made small on both sides.
    try {
        const std::string small = Small(pattern, true);
        std::regex own{small, kExpressionFlags}; // fails on its own text, not the wrapped one's
        // A search runs the matcher from each start again; a leading "anything" makes it one
        // pass, and an expression tied to the start needs none.
        expression_ = std::make_shared<const std::regex>(
            AnchoredAtStart(small) ? std::move(own) : std::regex("[\\s\\S]*(?:" + small + ")", kExpressionFlags));
        needle_ = Small(RequiredText(small), false);
    } catch (const std::regex_error& e) {
        error_ = std::string("Invalid expression: ") + e.what();
        return false;
    }
    return true;
}

void RecordFilter::SetMarkedOnly(const esCheckedEntries* marks) {
    markedOnly_ = marks != nullptr;
    marked_.clear();
    if (marks)
        for (const auto& e : *marks)
            marked_.insert(e.value.RecordKey);
}

bool RecordFilter::Contains(std::string_view text) const {
    const std::size_t n = needle_.size();
    if (n == 0)
        return true;
    if (text.size() < n)
        return false;
    const auto first = static_cast<unsigned char>(needle_[0]);
    for (std::size_t i = 0; i + n <= text.size(); ++i) {
        if (small_[static_cast<unsigned char>(text[i])] != first)
            continue;
        std::size_t k = 1;
        while (k < n && small_[static_cast<unsigned char>(text[i + k])] == static_cast<unsigned char>(needle_[k]))
            ++k;
        if (k == n)
            return true;
    }
    return false;
}

bool RecordFilter::Matches(std::string_view text) const {
    if (!Contains(text))
        return false;
    if (expression_) {
        if (!HasHighBytes(text))
            return std::regex_search(text.begin(), text.end(), *expression_, std::regex_constants::match_continuous);
        const std::string small = Small(text, true);
        return std::regex_search(small, *expression_, std::regex_constants::match_continuous);
    }
    return true;
}

bool RecordFilter::Keeps(const esfile& file, int position) const {
    const auto& records = file.Records();
    if (position < 0 || position >= static_cast<int>(records.size()))
        return false;
    const RecordEntry& r = records[static_cast<std::size_t>(position)];
    if (markedOnly_ && !marked_.contains(r.Key))
        return false;
    if (changedOnly_ && file.ChangeOf(position) == RecordChange::Unchanged)
        return false;
    if (!HasText())
        return true;
    // An exterior cell is listed by its name and grid, not by its stored ID.
    if (r.Name == "CELL" ? Matches(ListedID::Of(r.Name, r.ID).caption) : Matches(r.ID))
        return true;
    if (!r.Loaded)
        return false;
    const PropertyCodec& codec = file.Codec();
    if (r.Packed || !r.SubRecords)
        return Matches(codec.ReadDescription(r.Name, r.Data));
    return Matches(codec.ReadDescription(r.Name, file.CurrentData(r)));
}

std::size_t RecordFilter::Count(const esfile& file, std::string_view type) const {
    const auto* category = file.esRecArrayCatIndex().Item(type);
    if (!category)
        return 0;
    if (!Active())
        return category->esRecArrayCatEntries.Count();
    std::size_t kept = 0;
    for (const auto& e : category->esRecArrayCatEntries)
        kept += Keeps(file, e.value.IndexNumber) ? 1 : 0;
    return kept;
}

} // namespace vellum
