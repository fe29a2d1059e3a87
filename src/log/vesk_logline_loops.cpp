#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "log/vesk_logline_reader.h"

namespace vesk {

namespace {

// For each line of [begin, end), the position of the next line of the same name, or end.
std::vector<std::size_t> next_same_name(const Tloglist& log, std::size_t begin, std::size_t end,
                                        std::unordered_map<std::string_view, std::size_t>& seen) {
    seen.clear();
    std::vector<std::size_t> next(end - begin, end);
    for (std::size_t i = end; i-- > begin;) {
        auto [it, inserted] = seen.try_emplace(log[i].name(), i);
        if (!inserted) {
            next[i - begin] = it->second;
            it->second = i;
        }
    }
    return next;
}

}  // namespace

// Only the nearest repetition of a line can lower its loop length, so one lookup per line does
// what comparing every pair of a case would.
void compute_loop_information(Tloglist& log) {
    std::unordered_map<std::string_view, std::size_t> seen;
    for (std::size_t begin = 0; begin < log.size();) {
        std::size_t end = begin;
        while (end < log.size() && log[end].case_number() == log[begin].case_number())
            ++end;
        const auto next = next_same_name(log, begin, end, seen);
        for (std::size_t i = begin; i < end; ++i) {
            const std::size_t j = next[i - begin];
            if (j == end) continue;
            Tlog_line& first = log[i];
            Tlog_line& second = log[j];
            const std::int32_t d = checked_int32(j - i);
            if (d < first.loop_length) {
                first.loop_length = d;
                second.loop_length = d;
                if (d == 2) {
                    first.two_loop_partners.assign(log[i + 1].name());
                    second.two_loop_partners.assign(log[i + 1].name());
                }
            }
            if (d == first.loop_length && d == 2) {
                first.two_loop_partners.add(log[i + 1].name());
                second.two_loop_partners.add(log[i + 1].name());
            }
        }
        begin = end;
    }
}

}  // namespace vesk
