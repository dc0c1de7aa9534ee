#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vellum {

// Keys compare without regard to ASCII letter case everywhere in the program.
std::string FoldKey(std::string_view key);
bool KeysEqual(std::string_view a, std::string_view b);

// Hash map keyed by folded text; lookups with a string_view need no allocation.
struct FoldedHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept;
};
struct FoldedEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept { return KeysEqual(a, b); }
};

// The one keyed collection of the program: text keys compared without case, insertion order,
// 1-based positions. Entries live behind stable pointers. Removal leaves a hole that the next
// positional access closes in one pass, so removing many entries stays linear.
template <class T>
class KeyedCollection {
public:
    struct Entry {
        std::string key; // as first added, letter case kept; never changed (the index views it)
        T value;
    };

private:
    using Slots = std::vector<std::unique_ptr<Entry>>;

public:
    KeyedCollection() = default;
    KeyedCollection(KeyedCollection&&) noexcept = default;
    KeyedCollection& operator=(KeyedCollection&&) noexcept = default;
    KeyedCollection(const KeyedCollection& other) { *this = other; }
    KeyedCollection& operator=(const KeyedCollection& other) {
        if (this == &other) return *this;
        clear();
        for (const Entry& e : other) Add(e.key, e.value);
        return *this;
    }

    // Adds under `key`; nullptr when the key is present already (nothing changes).
    T* Add(std::string key, T value = T{}) {
        const std::size_t hash = FoldedHash{}(key);
        if (Lookup(key, hash) != kNone) return nullptr;
        slots_.push_back(std::make_unique<Entry>(Entry{std::move(key), std::move(value)}));
        Insert(static_cast<std::uint32_t>(slots_.size() - 1), hash);
        return &slots_.back()->value;
    }

    bool Exists(std::string_view key) const { return Lookup(key, FoldedHash{}(key)) != kNone; }

    T* Find(std::string_view key) {
        const std::size_t b = Lookup(key, FoldedHash{}(key));
        return b == kNone ? nullptr : &slots_[table_[b].pos]->value;
    }
    const T* Find(std::string_view key) const {
        const std::size_t b = Lookup(key, FoldedHash{}(key));
        return b == kNone ? nullptr : &slots_[table_[b].pos]->value;
    }

    // Throws std::out_of_range for a missing key or position.
    T& Item(std::string_view key) {
        if (T* v = Find(key)) return *v;
        throw std::out_of_range("Invalid key: " + std::string(key));
    }
    const T& Item(std::string_view key) const {
        if (const T* v = Find(key)) return *v;
        throw std::out_of_range("Invalid key: " + std::string(key));
    }
    T& Item(std::size_t position) { return EntryAt(position).value; }
    const T& Item(std::size_t position) const { return EntryAt(position).value; }

    Entry& EntryAt(std::size_t position) {
        Compact();
        if (position < 1 || position > slots_.size())
            throw std::out_of_range("Invalid position: " + std::to_string(position));
        return *slots_[position - 1];
    }
    const Entry& EntryAt(std::size_t position) const {
        const_cast<KeyedCollection*>(this)->Compact();
        if (position < 1 || position > slots_.size())
            throw std::out_of_range("Invalid position: " + std::to_string(position));
        return *slots_[position - 1];
    }
    const std::string& KeyAt(std::size_t position) const { return EntryAt(position).key; }

    // 1-based position of the key, 0 when absent.
    std::size_t PositionOf(std::string_view key) const {
        const_cast<KeyedCollection*>(this)->Compact();
        const std::size_t b = Lookup(key, FoldedHash{}(key));
        return b == kNone ? 0 : std::size_t{table_[b].pos} + 1;
    }

    std::size_t Count() const { return slots_.size() - holes_; }
    bool empty() const { return Count() == 0; }

    bool Remove(std::string_view key) {
        const std::size_t b = Lookup(key, FoldedHash{}(key));
        if (b == kNone) return false;
        slots_[table_[b].pos].reset();
        table_[b].pos = kGone;
        ++holes_;
        return true;
    }
    bool Remove(std::size_t position) {
        if (position < 1 || position > Count()) return false;
        std::string key = KeyAt(position);
        return Remove(key);
    }

    void clear() {
        table_.clear();
        filled_ = 0;
        slots_.clear();
        holes_ = 0;
    }

    template <bool Const>
    class Iter {
        using Base = std::conditional_t<Const, typename Slots::const_iterator, typename Slots::iterator>;

    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Entry;
        using difference_type = std::ptrdiff_t;
        using reference = std::conditional_t<Const, const Entry&, Entry&>;
        using pointer = std::conditional_t<Const, const Entry*, Entry*>;
        Iter() = default;
        Iter(Base it, Base end) : it_(it), end_(end) { Skip(); }
        reference operator*() const { return **it_; }
        pointer operator->() const { return it_->get(); }
        Iter& operator++() {
            ++it_;
            Skip();
            return *this;
        }
        Iter operator++(int) {
            Iter t = *this;
            ++*this;
            return t;
        }
        bool operator==(const Iter& o) const { return it_ == o.it_; }

    private:
        void Skip() {
            while (it_ != end_ && !*it_) ++it_;
        }
        Base it_{}, end_{};
    };
    using iterator = Iter<false>;
    using const_iterator = Iter<true>;
    iterator begin() { return {slots_.begin(), slots_.end()}; }
    iterator end() { return {slots_.end(), slots_.end()}; }
    const_iterator begin() const { return {slots_.cbegin(), slots_.cend()}; }
    const_iterator end() const { return {slots_.cend(), slots_.cend()}; }

    void Reserve(std::size_t n) {
        slots_.reserve(n);
        if (TableSizeFor(n) > table_.size()) Rehash(TableSizeFor(n));
    }

private:
    // The key index is an open-addressing table of positions in slots_ (linear probing, at
    // most 70% filled): about 12 bytes per entry, no allocation per entry, and keys are read
    // from the entries themselves.
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu, kGone = 0xFFFFFFFEu;
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    struct Bucket {
        std::uint32_t pos = kEmpty;
        std::uint32_t tag = 0; // high bits of the hash: most mismatches need no key compare
    };
    static std::uint32_t Tag(std::size_t hash) { return static_cast<std::uint32_t>(std::uint64_t(hash) >> 32); }
    static std::size_t TableSizeFor(std::size_t n) {
        std::size_t size = 16;
        while (size * 7 < n * 10) size *= 2;
        return size;
    }

    std::size_t Lookup(std::string_view key, std::size_t hash) const {
        if (table_.empty()) return kNone;
        const std::size_t mask = table_.size() - 1;
        const std::uint32_t tag = Tag(hash);
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            const Bucket& b = table_[i];
            if (b.pos == kEmpty) return kNone;
            if (b.pos != kGone && b.tag == tag && KeysEqual(slots_[b.pos]->key, key)) return i;
        }
    }

    // `pos` names an entry of slots_ whose key the table does not hold yet; growing the table
    // places every entry, that one included.
    void Insert(std::uint32_t pos, std::size_t hash) {
        if ((filled_ + 1) * 10 > table_.size() * 7)
            Rehash(TableSizeFor(2 * Count()));
        else
            Place(pos, hash);
    }

    void Place(std::uint32_t pos, std::size_t hash) {
        const std::size_t mask = table_.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            Bucket& b = table_[i];
            if (b.pos == kEmpty || b.pos == kGone) {
                if (b.pos == kEmpty) ++filled_;
                b = Bucket{pos, Tag(hash)};
                return;
            }
        }
    }

    void Rehash(std::size_t size) {
        table_.assign(size, Bucket{});
        filled_ = 0;
        for (std::size_t p = 0; p < slots_.size(); ++p)
            if (slots_[p]) Place(static_cast<std::uint32_t>(p), FoldedHash{}(slots_[p]->key));
    }

    void Compact() {
        if (holes_ == 0) return;
        std::size_t out = 0;
        for (std::size_t i = 0; i < slots_.size(); ++i) {
            if (!slots_[i]) continue;
            if (out != i) slots_[out] = std::move(slots_[i]);
            ++out;
        }
        slots_.resize(out);
        holes_ = 0;
        Rehash(TableSizeFor(2 * out));
    }

    Slots slots_;
    std::vector<Bucket> table_;
    std::size_t filled_ = 0; // buckets not empty: live or gone
    std::size_t holes_ = 0;
};

} // namespace vellum
