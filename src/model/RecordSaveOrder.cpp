#include "model/RecordSaveOrder.h"

#include "index/esRecArrayCatIndex.h"
#include "index/esRecArrayIndex.h"
#include "model/KeyedCollection.h"
#include "template/Group.h"
#include "template/PropertyCodec.h"

#include <algorithm>
#include <climits>

namespace vellum {

RecordSaveOrder::RecordSaveOrder(const std::vector<RecordEntry>& records, const esRecArrayIndex& keys,
                                 const esRecArrayCatIndex& categories, const PropertyCodec& codec,
                                 const Group* sequence)
    : records_(records), keys_(keys), categories_(categories), codec_(codec), sequence_(sequence) {
    if (!sequence_) return;
    if (const std::size_t at = sequence_->Variables.PositionOf("NOSEQUENCE")) noSequenceRank_ = static_cast<int>(at) - 1;
}

bool RecordSaveOrder::IsRecord(int i) const {
    return i >= 0 && static_cast<std::size_t>(i) < records_.size() && !records_[static_cast<std::size_t>(i)].Name.empty();
}

bool RecordSaveOrder::IsParent(int i) const {
    return codec_.RecordInfo(records_[static_cast<std::size_t>(i)].Name).PrecedesChildren;
}

int RecordSaveOrder::ParentOf(int i) const {
    const RecordEntry& r = records_[static_cast<std::size_t>(i)];
    if (r.ParentKey.empty() || !codec_.RecordInfo(r.Name).FollowsParent) return -1;
    const esRecArrayEntries* p = keys_.Find(r.ParentKey.str());
    return p && p->IndexNumber != i && IsRecord(p->IndexNumber) ? p->IndexNumber : -1;
}

std::uint32_t RecordSaveOrder::TypeCode(std::string_view type) {
    std::uint32_t code = 0;
    for (std::size_t k = 0; k < 4 && k < type.size(); ++k) code |= std::uint32_t(std::uint8_t(type[k])) << (8 * k);
    return code;
}

int RecordSaveOrder::Rank(std::string_view type) const {
    const std::size_t at = sequence_ ? sequence_->Variables.PositionOf(type) : 0;
    if (at != 0) return static_cast<int>(at) - 1;
    return noSequenceRank_ >= 0 ? noSequenceRank_ : INT_MAX;
}

// ---- The file's own order.

std::vector<int> RecordSaveOrder::Kept() {
    const int n = static_cast<int>(records_.size());
    placed_.assign(records_.size(), 0);
    hangs_.assign(records_.size(), 0);
    for (int i = 0; i < n; ++i) {
        const RecordEntry& r = records_[static_cast<std::size_t>(i)];
        if (!IsRecord(i) || r.Added) continue;
        placed_[static_cast<std::size_t>(i)] = 2;
        lastOfType_[TypeCode(r.Name)] = i;
    }
    for (int i = 0; i < n; ++i)
        if (IsRecord(i) && records_[static_cast<std::size_t>(i)].Added) Place(i);
    return Emit();
}

void RecordSaveOrder::Place(int i) {
    char& state = placed_[static_cast<std::size_t>(i)];
    if (state) return;
    state = 1;
    const RecordEntry& r = records_[static_cast<std::size_t>(i)];
    int parent = ParentOf(i);
    if (parent >= 0 && placed_[static_cast<std::size_t>(parent)] == 0) Place(parent);
    if (parent >= 0 && placed_[static_cast<std::size_t>(parent)] == 2) {
        AttachChild(parent, i);
        lastOfType_.try_emplace(TypeCode(r.Name), i);
    } else if (auto last = lastOfType_.find(TypeCode(r.Name)); last != lastOfType_.end()) {
        AttachAfter(last->second, i);
        last->second = i;
    } else {
        // A type the file lacks: behind the block of the last record that may stand before it.
        int anchor = LastRanked(Rank(r.Name));
        if (anchor != kFront) {
            const int owner = ParentOf(anchor);
            if (owner >= 0 && IsParent(owner)) anchor = owner;
        }
        AttachAfter(anchor, i);
        lastOfType_[TypeCode(r.Name)] = i;
    }
    state = 2;
}

void RecordSaveOrder::AttachAfter(int anchor, int i) {
    if (anchor != kFront && IsParent(anchor)) Host(anchor);
    Hangs(anchor);
    // Right behind the anchor's block: what hangs there already is of types that come later.
    std::vector<int>& list = after_[anchor];
    list.insert(list.begin(), i);
}

void RecordSaveOrder::AttachChild(int parent, int i) {
    Host(parent);
    Hangs(parent);
    children_[parent].push_back(i);
}

int RecordSaveOrder::Host(int parent) {
    if (auto h = host_.find(parent); h != host_.end()) return h->second;
    // The block ends with the last child the file had; new children come behind it.
    int host = parent;
    for (const std::string& key : records_[static_cast<std::size_t>(parent)].Children) {
        const esRecArrayEntries* c = keys_.Find(key);
        if (c && IsRecord(c->IndexNumber) && !records_[static_cast<std::size_t>(c->IndexNumber)].Added)
            host = std::max(host, c->IndexNumber);
    }
    host_[parent] = host;
    hosted_[host] = parent;
    Hangs(host);
    return host;
}

void RecordSaveOrder::Hangs(int node) {
    if (node != kFront) hangs_[static_cast<std::size_t>(node)] = 1;
}

int RecordSaveOrder::LastRanked(int rank) {
    const std::vector<int> now = Emit();
    for (auto it = now.rbegin(); it != now.rend(); ++it)
        if (Rank(records_[static_cast<std::size_t>(*it)].Name) <= rank) return *it;
    return kFront;
}

void RecordSaveOrder::Followers(int node, std::vector<int>& out) const {
    auto append = [&out](const std::unordered_map<int, std::vector<int>>& lists, int key) {
        if (auto it = lists.find(key); it != lists.end()) out.insert(out.end(), it->second.begin(), it->second.end());
    };
    if (auto h = host_.find(node); h != host_.end() && h->second != node) return; // its block closes later
    auto hosted = hosted_.find(node);
    if (hosted == hosted_.end()) {
        append(after_, node);
        return;
    }
    const int parent = hosted->second;
    if (parent != node) append(after_, node);
    append(children_, parent);
    append(after_, parent);
}

std::vector<int> RecordSaveOrder::Emit() const {
    std::vector<int> out;
    out.reserve(records_.size());
    if (after_.empty() && children_.empty()) {
        for (int i = 0; i < static_cast<int>(records_.size()); ++i)
            if (placed_[static_cast<std::size_t>(i)] == 2 && !records_[static_cast<std::size_t>(i)].Added) out.push_back(i);
        return out;
    }
    // Depth first: a record, then all that hangs behind it, before the next one.
    std::vector<int> stack, next;
    auto walk = [&](int root, bool emitRoot) {
        stack.assign(1, root);
        bool first = true;
        while (!stack.empty()) {
            const int node = stack.back();
            stack.pop_back();
            if (!first || emitRoot) out.push_back(node);
            first = false;
            next.clear();
            if (node == kFront || hangs_[static_cast<std::size_t>(node)]) Followers(node, next);
            stack.insert(stack.end(), next.rbegin(), next.rend());
        }
    };
    walk(kFront, false);
    for (int i = 0; i < static_cast<int>(records_.size()); ++i)
        if (placed_[static_cast<std::size_t>(i)] == 2 && !records_[static_cast<std::size_t>(i)].Added) walk(i, true);
    return out;
}

// ---- Template order.

std::vector<int> RecordSaveOrder::ByType() {
    const std::size_t n = records_.size();
    std::vector<int> order;
    order.reserve(n);
    std::vector<char> emitted(n, 0);
    auto emit = [&](int i) {
        if (!IsRecord(i) || emitted[static_cast<std::size_t>(i)]) return;
        emitted[static_cast<std::size_t>(i)] = 1;
        order.push_back(i);
    };
    // A child whose parent is gone is written where its own type comes in the sequence.
    std::vector<std::pair<std::size_t, const esRecArrayCatIndexEntries*>> orphanSlots;
    auto saveCategory = [&](std::string_view type) {
        const esRecArrayCatIndexEntries* cat = categories_.Item(type);
        if (!cat) return;
        const RecordLayout& traits = codec_.RecordInfo(type);
        if (traits.FollowsParent) {
            orphanSlots.emplace_back(order.size(), cat);
            return;
        }
        for (const auto& e : cat->esRecArrayCatEntries) {
            const int i = e.value.IndexNumber;
            emit(i);
            if (!traits.PrecedesChildren || !IsRecord(i)) continue;
            for (const std::string& child : records_[static_cast<std::size_t>(i)].Children)
                if (const esRecArrayEntries* c = keys_.Find(child)) emit(c->IndexNumber);
        }
    };
    if (sequence_) {
        for (const auto& entry : sequence_->Variables) {
            if (KeysEqual(entry.value.Name, "NOSEQUENCE")) {
                for (const auto& c : categories_)
                    if (!sequence_->Variables.Exists(c.key)) saveCategory(c.key);
            } else {
                saveCategory(entry.value.Name);
            }
        }
    }
    for (auto slot = orphanSlots.rbegin(); slot != orphanSlots.rend(); ++slot) {
        std::vector<int> orphans;
        for (const auto& e : slot->second->esRecArrayCatEntries) {
            const int i = e.value.IndexNumber;
            if (IsRecord(i) && !emitted[static_cast<std::size_t>(i)]) {
                emitted[static_cast<std::size_t>(i)] = 1;
                orphans.push_back(i);
            }
        }
        order.insert(order.begin() + static_cast<std::ptrdiff_t>(slot->first), orphans.begin(), orphans.end());
    }
    // What the sequence does not reach is written last, as it stands, never left out.
    unnamed_.clear();
    for (std::size_t i = 0; i < n; ++i) {
        if (!IsRecord(static_cast<int>(i)) || emitted[i]) continue;
        const std::string& type = records_[i].Name;
        if (std::none_of(unnamed_.begin(), unnamed_.end(), [&](const std::string& t) { return t == type; }))
            unnamed_.push_back(type);
        emit(static_cast<int>(i));
    }
    return order;
}

} // namespace vellum
