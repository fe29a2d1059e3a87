#pragma once
// The kinds of ordering relation, with the names the relations file uses and the symbols the
// fact lists show. Everything that names a kind takes it from here.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vesk {

enum class Trelation_kind : std::uint8_t {
    long_succ = 0,  // A >>> B: B after A at some distance
    succ = 1,       // A > B: B directly after A
    caus = 2,       // A -> B
    par = 3,        // A || B
    excl = 4,       // A # B
    nsucc = 5,
    ncaus = 6,
    npar = 7,
    nexcl = 8,
};

inline constexpr int kRelationKindCount = 9;

inline constexpr std::array<std::string_view, kRelationKindCount> kRelationFileNames = {
    "long_succ", "succ", "caus", "par", "excl", "nsucc", "ncaus", "npar", "nexcl"};

// Exactly eight characters each.
inline constexpr std::array<std::string_view, kRelationKindCount> kRelationSymbols = {
    "  >>>   ", "   >    ", "   ->   ", "   ||   ", "   #    ",
    " not >  ", " not -> ", " not || ", " not #  "};

inline constexpr std::string_view relation_file_name(Trelation_kind kind) {
    return kRelationFileNames[static_cast<std::size_t>(kind)];
}

inline constexpr std::string_view relation_symbol(Trelation_kind kind) {
    return kRelationSymbols[static_cast<std::size_t>(kind)];
}

// The kind a file name stands for, compared exactly; empty for any other text.
inline std::optional<Trelation_kind> relation_kind_of_file_name(std::string_view name) {
    for (std::size_t k = 0; k < kRelationFileNames.size(); ++k)
        if (kRelationFileNames[k] == name) return static_cast<Trelation_kind>(k);
    return std::nullopt;
}

}  // namespace vesk
