#pragma once

#include "index/MentionKind.h"
#include "model/Bytes.h"
#include "model/KeyedCollection.h"
#include "template/SubrecordLayout.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vellum {

class esfile;
class PropertyCodec;

// One place where a record names an ID in text rather than in a reference property.
struct TextMention {
    int RecordIndex = 0;
    std::string SubrecordKey;  // as unpacking keys it
    std::string SubrecordType; // template subrecord type
    std::string PropertyName;
    MentionKind Kind = MentionKind::None;
    std::string ID;            // the wanted ID it names, as it was wanted
    bool Filter = false;       // the subrecord's group carries @Filter
};

// Finds the IDs that records name in text, by the template: script text (@ScriptText) names
// them as whole words in any letter case, or whole within quotes, comments left out; a
// condition (@Condition) names one when its kind says it names a record of the ID's type
// ([@CONDITIONLOOKUP]).
class TextMentions {
public:
    explicit TextMentions(const PropertyCodec& codec);

    // An ID to look for and the record type it is the ID of (empty: of any type).
    void Want(std::string_view id, std::string_view recordType);
    bool Empty() const { return wanted_.empty(); }
    void Clear();

    // Every place of `file` that names a wanted ID, in record order.
    std::vector<TextMention> Find(esfile& file);

    // A stretch of script text that names an ID.
    struct Span {
        std::size_t Begin = 0, End = 0;
        bool Quoted = false;
    };
    // The stretches of `text` naming an ID for which `wanted` is true; `texts` are the wanted
    // IDs that are not one word, looked for as text.
    static std::vector<Span> ScriptSpans(std::string_view text, const std::function<bool(std::string_view)>& wanted,
                                         const std::vector<std::string>& texts = {});
    static std::vector<Span> ScriptSpans(std::string_view text, std::string_view id);
    // `text` with every stretch naming `oldID` replaced by `newID`, quoted when it must be.
    static std::string ReplaceInScript(std::string_view text, std::string_view oldID, std::string_view newID);
    // The record ID a condition's data names, and the lookup that says what it names; empty
    // when the condition's kind names no record.
    static std::string_view ConditionName(const SubrecordLayout& layout, ByteSpan data,
                                          const SubrecordLayout::ConditionLookup** lookup);
    // True when `id` must be quoted to stand in a script.
    static bool NeedsQuotes(std::string_view id);
    // The key of the subrecord of record `index` that holds the compiled form of its script
    // text of type `sourceType`, when its bytes name `id` (in any letter case); "" otherwise.
    static std::string CompiledKey(esfile& file, int index, std::string_view sourceType, std::string_view id);

private:
    void Check(esfile& file, int index, std::string_view recordType, const std::string& subType,
               std::string_view key, ByteSpan data, std::vector<TextMention>& out);

    const PropertyCodec& codec_;
    std::unordered_map<std::string, std::vector<std::string>, FoldedHash, FoldedEqual> wanted_; // ID -> its types
    std::vector<std::string> texts_; // wanted IDs that are not one word
    // Record type -> the template subrecord types whose text may name IDs.
    std::unordered_map<std::string, std::vector<std::string>, FoldedHash, FoldedEqual> places_;
};

} // namespace vellum
