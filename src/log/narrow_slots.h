#pragma once
// A column of unsigned cells, 0 meaning "no value", held in the narrowest of one, two or four
// bytes that fits every slot so far and in chunks, so that a column of a million events with a
// few dozen distinct values costs a megabyte and never a copy of itself while it grows.

#include <cstdint>
#include <variant>

#include "base/chunked_vector.h"

namespace vesk {

class NarrowSlots {
public:
    std::size_t size() const {
        return std::visit([](const auto& cells) { return cells.size(); }, slots_);
    }

    std::uint32_t get(std::size_t row) const {
        return std::visit(
            [row](const auto& cells) -> std::uint32_t {
                return row < cells.size() ? cells[row] : 0;
            },
            slots_);
    }

    // Rows up to `row` that had no slot get 0.
    void set(std::size_t row, std::uint32_t slot) {
        if (slot > 0xffff)
            widen<std::uint32_t>();
        else if (slot > 0xff)
            widen<std::uint16_t>();
        std::visit(
            [row, slot](auto& cells) {
                using T = std::decay_t<decltype(cells[0])>;
                while (cells.size() <= row)
                    cells.emplace_back(T{0});
                cells[row] = static_cast<T>(slot);
            },
            slots_);
    }

    void move(std::size_t to, std::size_t from) {
        std::visit(
            [to, from](auto& cells) {
                if (to < cells.size()) cells[to] = from < cells.size() ? cells[from] : 0;
            },
            slots_);
    }

    void truncate(std::size_t rows) {
        std::visit([rows](auto& cells) { cells.truncate(rows); }, slots_);
    }

private:
    static constexpr unsigned kChunkBits = 12;
    template <typename T>
    using Slots = ChunkedVector<T, kChunkBits>;

    // Copies the cells into the wider type, unless they are that wide or wider already.
    template <typename T>
    void widen() {
        const bool narrower =
            std::visit([](const auto& cells) { return sizeof(cells[0]) < sizeof(T); }, slots_);
        if (!narrower) return;
        Slots<T> wider;
        std::visit(
            [&wider](const auto& cells) {
                for (std::size_t row = 0; row < cells.size(); ++row)
                    wider.emplace_back(static_cast<T>(cells[row]));
            },
            slots_);
        slots_ = std::move(wider);
    }

    std::variant<Slots<std::uint8_t>, Slots<std::uint16_t>, Slots<std::uint32_t>> slots_;
};

}  // namespace vesk
