#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
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
        std::string key; // as first added, letter case kept
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
        auto [it, inserted] = index_.try_emplace(key, slots_.size());
        if (!inserted) return nullptr;
        slots_.push_back(std::make_unique<Entry>(Entry{std::move(key), std::move(value)}));
        return &slots_.back()->value;
    }

    bool Exists(std::string_view key) const { return index_.find(key) != index_.end(); }

    T* Find(std::string_view key) {
        auto it = index_.find(key);
        return it == index_.end() ? nullptr : &slots_[it->second]->value;
    }
    const T* Find(std::string_view key) const {
        auto it = index_.find(key);
        return it == index_.end() ? nullptr : &slots_[it->second]->value;
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
        auto it = index_.find(key);
        return it == index_.end() ? 0 : it->second + 1;
    }

    std::size_t Count() const { return slots_.size() - holes_; }
    bool empty() const { return Count() == 0; }

    bool Remove(std::string_view key) {
        auto it = index_.find(key);
        if (it == index_.end()) return false;
        slots_[it->second].reset();
        index_.erase(it);
        ++holes_;
        return true;
    }
    bool Remove(std::size_t position) {
        if (position < 1 || position > Count()) return false;
        std::string key = KeyAt(position);
        return Remove(key);
    }

    void clear() {
        index_.clear();
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
        index_.reserve(n);
    }

private:
    void Compact() {
        if (holes_ == 0) return;
        std::size_t out = 0;
        for (std::size_t i = 0; i < slots_.size(); ++i) {
            if (!slots_[i]) continue;
            if (out != i) slots_[out] = std::move(slots_[i]);
            index_.find(slots_[out]->key)->second = out;
            ++out;
        }
        slots_.resize(out);
        holes_ = 0;
    }

    Slots slots_;
    std::unordered_map<std::string, std::size_t, FoldedHash, FoldedEqual> index_;
    std::size_t holes_ = 0;
};

} // namespace vellum
