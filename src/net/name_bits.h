#pragma once
// Sets of task names as bits for the pair search.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vesk {

// A set of task names as bits, held inline up to 512 names: the search makes and drops
// millions of them.
class NameBits {
public:
    explicit NameBits(std::size_t names = 0) : size_((names + 63) / 64) {
        if (size_ > kInline) heap_.assign(size_, 0);
    }
    NameBits(std::size_t names, const std::uint64_t* words) : NameBits(names) {
        std::copy(words, words + size_, data());
    }
    void append_to(std::vector<std::uint64_t>& out) const {
        out.insert(out.end(), data(), data() + size_);
    }
    void add(std::size_t name) { data()[name / 64] |= std::uint64_t{1} << (name % 64); }
    bool has(std::size_t name) const { return (data()[name / 64] >> (name % 64)) & 1; }
    bool within(const NameBits& other) const {
        const std::uint64_t* words = data();
        const std::uint64_t* more = other.data();
        for (std::size_t w = 0; w < size_; ++w)
            if ((words[w] & ~more[w]) != 0) return false;
        return true;
    }
    void add_all(const NameBits& other) {
        std::uint64_t* words = data();
        const std::uint64_t* more = other.data();
        for (std::size_t w = 0; w < size_; ++w)
            words[w] |= more[w];
    }

private:
    static constexpr std::size_t kInline = 8;
    std::uint64_t* data() { return size_ > kInline ? heap_.data() : inline_.data(); }
    const std::uint64_t* data() const { return size_ > kInline ? heap_.data() : inline_.data(); }

    std::size_t size_;
    std::array<std::uint64_t, kInline> inline_{};
    std::vector<std::uint64_t> heap_;
};

}  // namespace vesk
