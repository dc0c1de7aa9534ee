#pragma once

#include "index/DialogueChain.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellum {

class esfile;

// A topic's responses to be read together: in chain order, each with who may say it, under
// which conditions, and what is said. A response is read when it is first asked for, so a
// topic of thousands opens at once. Texts are in the file's code page.
class TopicResponses {
public:
    struct Row {
        std::string speaker;    // the speaker, or the race, class, faction, sex and cell it needs
        std::string conditions; // disposition or journal index, player's faction, the SCVR tests
        std::string text;       // the response, its line breaks as blanks
    };

    TopicResponses(const esfile& file, std::string_view topicKey);

    std::size_t Count() const { return links_.size(); }
    const DialogueChain::Link& Link(std::size_t i) const { return links_.at(i); }
    const Row& At(std::size_t i) const;
    // The row of a record key, -1 when the response is not in the topic.
    int RowOf(std::string_view recordKey) const;

    // One condition (a SCVR string and the value that follows it) as text: "Journal A1_1 >= 10".
    static std::string Condition(std::string_view scvr, const std::string& value);

private:
    Row Describe(std::size_t i) const;

    const esfile& file_;
    std::vector<DialogueChain::Link> links_;
    mutable std::vector<std::optional<Row>> rows_;
};

} // namespace vellum
