#pragma once
// What the pair search remembers of the nodes it met.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "net/name_bits.h"
#include "net/task_table.h"

namespace vesk {

// The nodes of a search with the names each returned, in flat arrays: a search meets millions
// of nodes, and a map of vectors spends more time allocating than searching. A node is named
// by its two sides: where the last task of a side was added fixes where the search goes on.
class NodeMemo {
public:
    explicit NodeMemo(std::size_t names) : names_(names) {}

    std::size_t size() const { return count_; }

    // The names the node returned, or false when it is not here.
    bool find(const Side& a, const Side& b, NameBits& names) const {
        if (slots_.empty()) return false;
        const std::uint64_t h = hash(a, b);
        for (std::size_t at = h & (slots_.size() - 1);; at = (at + 1) & (slots_.size() - 1)) {
            const Slot& slot = slots_[at];
            if (slot.value == kEmpty) return false;
            if (slot.hash == h && same(slot, a, b)) {
                names = NameBits(names_, values_.data() + slot.value * words());
                return true;
            }
        }
    }

    void insert(const Side& a, const Side& b, const NameBits& names) {
        if ((count_ + 1) * 2 > slots_.size()) grow();
        place(hash(a, b), static_cast<std::uint32_t>(keys_.size()),
              static_cast<std::uint32_t>(values_.size() / std::max<std::size_t>(words(), 1)),
              static_cast<std::uint16_t>(a.size()), static_cast<std::uint16_t>(b.size()));
        keys_.insert(keys_.end(), a.begin(), a.end());
        keys_.insert(keys_.end(), b.begin(), b.end());
        names.append_to(values_);
        ++count_;
    }

    void clear() {
        slots_.clear();
        keys_.clear();
        values_.clear();
        count_ = 0;
    }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;
    struct Slot {
        std::uint64_t hash = 0;
        std::uint32_t key = 0;
        std::uint32_t value = kEmpty;
        std::uint16_t a_size = 0, b_size = 0;
    };

    std::size_t words() const { return (names_ + 63) / 64; }

    static std::uint64_t hash(const Side& a, const Side& b) {
        std::uint64_t h = 0xCBF29CE484222325ull;
        for (const int n : a)
            h = (h ^ static_cast<std::uint64_t>(n + 1)) * 0x100000001B3ull;
        h = (h ^ 0xFFFF) * 0x100000001B3ull;
        for (const int n : b)
            h = (h ^ static_cast<std::uint64_t>(n + 1)) * 0x100000001B3ull;
        return h ^ (h >> 29);
    }

    bool same(const Slot& slot, const Side& a, const Side& b) const {
        if (slot.a_size != a.size() || slot.b_size != b.size()) return false;
        const int* key = keys_.data() + slot.key;
        return std::equal(a.begin(), a.end(), key) &&
               std::equal(b.begin(), b.end(), key + a.size());
    }

    void place(std::uint64_t h, std::uint32_t key, std::uint32_t value, std::uint16_t a_size,
               std::uint16_t b_size) {
        std::size_t at = h & (slots_.size() - 1);
        while (slots_[at].value != kEmpty)
            at = (at + 1) & (slots_.size() - 1);
        slots_[at] = {h, key, value, a_size, b_size};
    }

    void grow() {
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(std::max<std::size_t>(1024, old.size() * 2), Slot{});
        for (const Slot& slot : old)
            if (slot.value != kEmpty)
                place(slot.hash, slot.key, slot.value, slot.a_size, slot.b_size);
    }

    std::size_t names_;
    std::vector<Slot> slots_;
    std::vector<int> keys_;
    std::vector<std::uint64_t> values_;
    std::size_t count_ = 0;
};

}  // namespace vesk
