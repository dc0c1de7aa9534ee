#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellum {

class esfile;
struct RecordEntry;

// The responses of a dialogue topic (the records that follow it, its Children) are also a list
// linked by their IDs (INAM): each names the one before it (PNAM) and after it (NNAM), and the
// game tests them in that order.
class DialogueChain {
public:
    struct Link {
        std::string key; // record key
        std::string id, previous, next;
    };

    // The topic's responses in chain order: starting from each response whose previous one is
    // not among them (the first, or one that follows a response of a master), along the next
    // links; responses no link reaches follow in file order. Each response comes once.
    static std::vector<Link> Order(const esfile& file, const RecordEntry& topic);

    // The first byte of a record's DATA: a topic's dialogue type, repeated by its responses.
    static int DialogueType(const esfile& file, const RecordEntry& record);

    enum class MoveResult { Moved, SameTopic, OtherKind, NotFound };
    // Moves a response to the end of another topic of the same dialogue type: its neighbours in
    // the old topic are linked to each other, it follows the new topic's last response, and it
    // is saved behind the new topic. The file is changed; the move is one step of its history.
    static MoveResult Move(esfile& file, const std::string& responseKey, const std::string& topicKey);
};

} // namespace vellum
