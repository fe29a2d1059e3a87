#pragma once
// A hash of a sequence of ids (FNV-1a over the ids), for tables keyed by traces.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vesk {

struct SequenceHash {
    std::size_t operator()(const std::vector<std::int32_t>& ids) const {
        std::uint64_t hash = 1469598103934665603ULL;
        for (const std::int32_t id : ids) {
            hash ^= static_cast<std::uint32_t>(id);
            hash *= 1099511628211ULL;
        }
        return static_cast<std::size_t>(hash);
    }
};

}  // namespace vesk
