#pragma once

#include "template/SubrecordLayout.h"

#include <string>
#include <string_view>
#include <unordered_map>

namespace vellum {

class esfile;

// Records of a type with two subrecords marked "@Chain = Previous" and "@Chain = Next" form a
// list by ID among the children of their parent (the responses of a topic, in the order the game
// tests them). This keeps such lists whole when records leave them or join them.
class ChainLinks {
public:
    using Link = SubrecordLayout::Link;

    explicit ChainLinks(esfile& file) : file_(file) {}

    bool Chained(std::string_view recordType);
    // Before the records marked Deleted go: the neighbours of each are linked to each other,
    // past neighbours that go as well. True when a link changed.
    bool RelinkAroundDeleted();
    // Record `index` leaves its list: its neighbours (past those marked Deleted) are linked to
    // each other. True when a link changed.
    bool Unlink(int index);
    // Record `index`, a new last child of its parent: linked after the child that was last
    // (and before the one that came after it, when that is a record of another file).
    void LinkAsLastChild(int index);

    // The ID a record's link names ("" when it has none).
    std::string Get(int index, Link which);
    // Sets the link when it differs; true when it did.
    bool Set(int index, Link which, const std::string& id);

private:
    struct Types {
        std::string previous, next; // template subrecord types; empty when the type has no list
    };
    const Types& TypesOf(std::string_view recordType);
    const std::string& SubOf(std::string_view recordType, Link which);
    // The record with `id` among the siblings of record `index`, -1 when none.
    int Sibling(int index, std::string_view id);

    esfile& file_;
    std::unordered_map<std::string, Types> types_;
};

} // namespace vellum
