#pragma once
// The lines of one process, grouped by case, with the names and two-loop partners they refer to.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/chunked_vector.h"
#include "base/text_util.h"
#include "log/log_attributes.h"
#include "log/vesk_logline.h"

namespace vesk {

// Owns its lines; cases are contiguous and in ascending case number. A line's name is an id
// into this list's names, numbered in order of first use, so lines belong to the list that
// made them.
class Tloglist {
public:
    using Lines = ChunkedVector<Tlog_line>;

    std::size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    Tlog_line& operator[](std::size_t k) { return lines_[k]; }
    const Tlog_line& operator[](std::size_t k) const { return lines_[k]; }
    Tlog_line& back() { return lines_.back(); }
    const Tlog_line& back() const { return lines_.back(); }
    Lines::iterator begin() { return lines_.begin(); }
    Lines::iterator end() { return lines_.end(); }
    Lines::const_iterator begin() const { return lines_.begin(); }
    Lines::const_iterator end() const { return lines_.end(); }

    // Appends a line of this name, which becomes one of the list's names if it is new.
    Tlog_line& emplace_back(std::string_view name, std::int32_t case_number);
    // Appends a line of a name the list already holds.
    Tlog_line& append(std::int32_t name_id, std::int32_t case_number);
    // The position after the last line of the case whose first line is at `begin`.
    std::size_t case_end(std::size_t begin) const {
        std::size_t end = begin;
        while (end < size() && lines_[end].case_number() == lines_[begin].case_number())
            ++end;
        return end;
    }
    // Keeps the first `count` lines and their attributes; names stay.
    void truncate(std::size_t count) {
        lines_.truncate(count);
        attributes_.truncate_events(count);
    }
    // Line `to` becomes line `from`, attributes and all (`to` before `from`: filters compact).
    void move_line(std::size_t to, std::size_t from) {
        lines_[to] = lines_[from];
        attributes_.move_event(to, from);
    }
    // No lines and no names.
    void clear() { *this = Tloglist(); }

    // The id of the name, adding it when it is new.
    std::int32_t intern(std::string_view name);
    std::optional<std::int32_t> find_name(std::string_view name) const;
    const std::string& name(const Tlog_line& line) const { return name_of(line.name_id()); }
    const std::string& name_of(std::int32_t id) const {
        return names_[static_cast<std::size_t>(id)];
    }
    std::int32_t name_count() const { return static_cast<std::int32_t>(names_.size()); }

    // The name ids between a line and its repetition two positions away, in the order met.
    const std::vector<std::int32_t>& two_loop_partners(const Tlog_line& line) const;
    // From now on exactly this partner.
    void assign_two_loop_partner(Tlog_line& line, std::int32_t name_id);
    // Adds the partner unless the line has it already.
    void add_two_loop_partner(Tlog_line& line, std::int32_t name_id);

    // The attributes of the cases (by case number) and of the lines (by position) that were read.
    const LogAttributes& attributes() const { return attributes_; }
    LogAttributes& attributes() { return attributes_; }

private:
    Lines lines_;
    LogAttributes attributes_;
    std::vector<std::string> names_;
    std::unordered_map<std::string, std::int32_t, TextHash, std::equal_to<>> ids_;
    std::vector<std::vector<std::int32_t>> partners_;
};

}  // namespace vesk
