#include "log/vesk_loglist.h"

#include <algorithm>

#include "base/int32_checked.h"

namespace vesk {

Tlog_line& Tloglist::emplace_back(std::string_view name, std::int32_t case_number) {
    return append(intern(name), case_number);
}

Tlog_line& Tloglist::append(std::int32_t name_id, std::int32_t case_number) {
    checked_int32(lines_.size() + 1);  // positions of lines are 32-bit elsewhere
    return lines_.emplace_back(name_id, case_number);
}

std::int32_t Tloglist::intern(std::string_view name) {
    if (const auto found = ids_.find(name); found != ids_.end()) return found->second;
    const std::int32_t id = checked_int32(names_.size());
    names_.emplace_back(name);
    ids_.emplace(names_.back(), id);
    return id;
}

std::optional<std::int32_t> Tloglist::find_name(std::string_view name) const {
    const auto found = ids_.find(name);
    if (found == ids_.end()) return std::nullopt;
    return found->second;
}

const std::vector<std::int32_t>& Tloglist::two_loop_partners(const Tlog_line& line) const {
    static const std::vector<std::int32_t> none;
    if (line.two_loop_partners == kNone) return none;
    return partners_[static_cast<std::size_t>(line.two_loop_partners)];
}

void Tloglist::assign_two_loop_partner(Tlog_line& line, std::int32_t name_id) {
    if (line.two_loop_partners == kNone) {
        line.two_loop_partners = checked_int32(partners_.size());
        partners_.emplace_back();
    }
    partners_[static_cast<std::size_t>(line.two_loop_partners)].assign(1, name_id);
}

void Tloglist::add_two_loop_partner(Tlog_line& line, std::int32_t name_id) {
    if (line.two_loop_partners == kNone) {
        assign_two_loop_partner(line, name_id);
        return;
    }
    auto& partners = partners_[static_cast<std::size_t>(line.two_loop_partners)];
    if (std::find(partners.begin(), partners.end(), name_id) == partners.end())
        partners.push_back(name_id);
}

}  // namespace vesk
