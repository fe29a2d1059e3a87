#include <algorithm>
#include <vector>

#include "log/vesk_logline_reader.h"

namespace vesk {

namespace {

constexpr std::size_t kNoLine = std::size_t(-1);

// For each line of [begin, end), the position of the next line of the same name, or end.
// `seen` holds kNoLine for every name id between calls.
std::vector<std::size_t> next_same_name(const Tloglist& log, std::size_t begin, std::size_t end,
                                        std::vector<std::size_t>& seen) {
    std::vector<std::size_t> next(end - begin, end);
    for (std::size_t i = end; i-- > begin;) {
        std::size_t& last = seen[static_cast<std::size_t>(log[i].name_id())];
        if (last != kNoLine) next[i - begin] = last;
        last = i;
    }
    for (std::size_t i = begin; i < end; ++i)
        seen[static_cast<std::size_t>(log[i].name_id())] = kNoLine;
    return next;
}

}  // namespace

// Only the nearest repetition of a line can lower its loop length, so one lookup per line does
// what comparing every pair of a case would.
void compute_loop_information(Tloglist& log) {
    std::vector<std::size_t> seen(static_cast<std::size_t>(log.name_count()), kNoLine);
    for (std::size_t begin = 0; begin < log.size();) {
        const std::size_t end = log.case_end(begin);
        const auto next = next_same_name(log, begin, end, seen);
        for (std::size_t i = begin; i < end; ++i) {
            const std::size_t j = next[i - begin];
            if (j == end) continue;
            Tlog_line& first = log[i];
            Tlog_line& second = log[j];
            const std::int32_t d = checked_int32(j - i);
            const std::int32_t between = log[i + 1].name_id();
            if (d < first.loop_length) {
                first.loop_length = d;
                second.loop_length = d;
                if (d == 2) {
                    log.assign_two_loop_partner(first, between);
                    log.assign_two_loop_partner(second, between);
                }
            }
            if (d == first.loop_length && d == 2) {
                log.add_two_loop_partner(first, between);
                log.add_two_loop_partner(second, between);
            }
        }
        begin = end;
    }
}

}  // namespace vesk
