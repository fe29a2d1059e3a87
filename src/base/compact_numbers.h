#pragma once
// A sequence of numbers held exactly in the narrowest of three widths that fits all of them so
// far: whole numbers below 65,536 take two bytes, other whole numbers below 2^32 four, anything
// else eight. Timing figures of long logs are mostly small whole minutes, so the sequence costs a
// quarter of what doubles would, and reads back the same values in the same order.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <variant>
#include <vector>

namespace vesk {

class CompactNumbers {
public:
    void push_back(double value) {
        if (auto* narrow = std::get_if<std::vector<std::uint16_t>>(&values_)) {
            if (fits<std::uint16_t>(value)) {
                narrow->push_back(static_cast<std::uint16_t>(value));
                return;
            }
            values_ = widened<std::uint32_t>(*narrow);
        }
        if (auto* middle = std::get_if<std::vector<std::uint32_t>>(&values_)) {
            if (fits<std::uint32_t>(value)) {
                middle->push_back(static_cast<std::uint32_t>(value));
                return;
            }
            values_ = widened<double>(*middle);
        }
        std::get<std::vector<double>>(values_).push_back(value);
    }

    std::size_t size() const {
        return std::visit([](const auto& values) { return values.size(); }, values_);
    }
    bool empty() const { return size() == 0; }
    void clear() { values_ = std::vector<std::uint16_t>(); }

    // Calls visit(double) for each number in order.
    template <typename Visit>
    void for_each(Visit&& visit) const {
        std::visit(
            [&visit](const auto& values) {
                for (const auto value : values)
                    visit(static_cast<double>(value));
            },
            values_);
    }

private:
    template <typename Whole>
    static bool fits(double value) {
        // -0.0 stays a double, so that its sign comes back too.
        return value >= 0 && !std::signbit(value) && value <= static_cast<double>(static_cast<Whole>(-1)) &&
               std::trunc(value) == value;
    }

    template <typename Wider, typename Narrower>
    static std::vector<Wider> widened(const std::vector<Narrower>& values) {
        return std::vector<Wider>(values.begin(), values.end());
    }

    std::variant<std::vector<std::uint16_t>, std::vector<std::uint32_t>, std::vector<double>>
        values_;
};

}  // namespace vesk
