#pragma once
// A growable array kept in fixed-size chunks: appending never moves what is stored, so a list
// of tens of millions of elements grows without copying itself, and element k is found with a
// shift and a mask.

#include <cstddef>
#include <iterator>
#include <memory>
#include <vector>

namespace vesk {

template <typename T, unsigned ChunkBits = 16>
class ChunkedVector {
public:
    static constexpr std::size_t kChunkSize = std::size_t{1} << ChunkBits;

    template <bool Const>
    class Iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using Owner = std::conditional_t<Const, const ChunkedVector, ChunkedVector>;
        using reference = std::conditional_t<Const, const T&, T&>;
        using pointer = std::conditional_t<Const, const T*, T*>;

        Iterator() = default;
        Iterator(Owner* owner, std::size_t at) : owner_(owner), at_(at) {}
        operator Iterator<true>() const { return {owner_, at_}; }

        reference operator*() const { return (*owner_)[at_]; }
        pointer operator->() const { return &(*owner_)[at_]; }
        reference operator[](difference_type n) const { return *(*this + n); }
        Iterator& operator++() {
            ++at_;
            return *this;
        }
        Iterator operator++(int) {
            Iterator old = *this;
            ++at_;
            return old;
        }
        Iterator& operator--() {
            --at_;
            return *this;
        }
        Iterator operator--(int) {
            Iterator old = *this;
            --at_;
            return old;
        }
        Iterator& operator+=(difference_type n) {
            at_ += static_cast<std::size_t>(n);
            return *this;
        }
        Iterator& operator-=(difference_type n) {
            at_ -= static_cast<std::size_t>(n);
            return *this;
        }
        friend Iterator operator+(Iterator it, difference_type n) { return it += n; }
        friend Iterator operator+(difference_type n, Iterator it) { return it += n; }
        friend Iterator operator-(Iterator it, difference_type n) { return it -= n; }
        friend difference_type operator-(const Iterator& a, const Iterator& b) {
            return static_cast<difference_type>(a.at_) - static_cast<difference_type>(b.at_);
        }
        friend bool operator==(const Iterator& a, const Iterator& b) { return a.at_ == b.at_; }
        friend auto operator<=>(const Iterator& a, const Iterator& b) { return a.at_ <=> b.at_; }

    private:
        Owner* owner_ = nullptr;
        std::size_t at_ = 0;
    };
    using iterator = Iterator<false>;
    using const_iterator = Iterator<true>;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    T& operator[](std::size_t k) { return chunks_[k >> ChunkBits][k & (kChunkSize - 1)]; }
    const T& operator[](std::size_t k) const {
        return chunks_[k >> ChunkBits][k & (kChunkSize - 1)];
    }
    T& back() { return (*this)[size_ - 1]; }
    const T& back() const { return (*this)[size_ - 1]; }

    template <typename... Args>
    T& emplace_back(Args&&... args) {
        if ((size_ & (kChunkSize - 1)) == 0 && (size_ >> ChunkBits) == chunks_.size()) {
            chunks_.emplace_back();
            chunks_.back().reserve(kChunkSize);
        }
        ++size_;
        return chunks_[(size_ - 1) >> ChunkBits].emplace_back(std::forward<Args>(args)...);
    }
    void push_back(const T& value) { emplace_back(value); }

    // Keeps the first `count` elements; chunks no longer needed are given back.
    void truncate(std::size_t count) {
        if (count >= size_) return;
        const std::size_t chunks_kept = (count + kChunkSize - 1) >> ChunkBits;
        chunks_.resize(chunks_kept);
        if (chunks_kept > 0) {
            auto& last = chunks_.back();
            last.erase(last.begin() +
                           static_cast<std::ptrdiff_t>(count - ((chunks_kept - 1) << ChunkBits)),
                       last.end());
        }
        size_ = count;
    }
    void clear() { truncate(0); }

    iterator begin() { return {this, 0}; }
    iterator end() { return {this, size_}; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size_}; }

private:
    // Each chunk is reserved whole when it is made, so it never reallocates.
    std::vector<std::vector<T>> chunks_;
    std::size_t size_ = 0;
};

}  // namespace vesk
