#pragma once

#include "model/RecordEntry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vellum {

class esRecArrayIndex;
class esRecArrayCatIndex;
class PropertyCodec;
struct Group;

// The order in which a save writes a file's records: every record with a type, once.
// Entries without a type (the empty entry 0 of a file that never had a header) are not records.
class RecordSaveOrder {
public:
    // `sequence` is the template's [@FILESEQUENCE], or nullptr when it has none.
    RecordSaveOrder(const std::vector<RecordEntry>& records, const esRecArrayIndex& keys,
                    const esRecArrayCatIndex& categories, const PropertyCodec& codec, const Group* sequence);

    // The file's own order. A record added since the load goes after the last record of its type
    // (after that record's children when it has any); a child after the last child of its
    // parent; a record of a type the file lacks after the last record of a type that comes no
    // later in the sequence (types the sequence does not name come where NOSEQUENCE stands, or
    // last).
    std::vector<int> Kept();

    // Category by category in the sequence, NOSEQUENCE standing for the types it does not name,
    // children right behind their parents. Records of types the sequence does not name at all
    // follow, in the order they have; Unnamed() then lists those types.
    std::vector<int> ByType();
    const std::vector<std::string>& Unnamed() const { return unnamed_; }

private:
    bool IsRecord(int i) const;
    bool IsParent(int i) const;
    int ParentOf(int i) const; // -1 when the record follows no parent that is there
    int Rank(std::string_view type) const;
    static std::uint32_t TypeCode(std::string_view type); // the four letters as one number

    // Kept(): new records hang behind the records they follow.
    void Place(int i);
    void AttachAfter(int anchor, int i);
    void AttachChild(int parent, int i);
    int Host(int parent); // the record whose turn closes the parent's block
    void Hangs(int node);
    int LastRanked(int rank);
    std::vector<int> Emit() const;
    void Followers(int node, std::vector<int>& out) const;

    const std::vector<RecordEntry>& records_;
    const esRecArrayIndex& keys_;
    const esRecArrayCatIndex& categories_;
    const PropertyCodec& codec_;
    const Group* sequence_;
    int noSequenceRank_ = -1;
    std::vector<std::string> unnamed_;

    static constexpr int kFront = -1; // before every record
    std::vector<char> placed_;        // 0 not yet, 1 placing, 2 placed
    std::unordered_map<std::uint32_t, int> lastOfType_; // by TypeCode
    std::vector<char> hangs_; // the record has something behind it in the maps below
    std::unordered_map<int, std::vector<int>> after_;    // emitted after the node's block
    std::unordered_map<int, std::vector<int>> children_; // new children, closing the parent's block
    std::unordered_map<int, int> host_;                  // parent -> the record that closes its block
    std::unordered_map<int, int> hosted_;                // that record -> parent
};

} // namespace vellum
