#pragma once
// What the readers hand over of the attributes a case or an event carries besides its name,
// lifecycle transition and time, and which of them a read keeps.

#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace vesk {

enum class AttributeType {
    text,
    integer,
    real,
    date,
    boolean,
    // Written as plain text (MXML, CSV, the workflow log): the type is told by the values.
    untyped
};

enum class AttributeLevel { case_level, event_level };

// "string", "int", "float", "date", "boolean"; "untyped" for untyped.
const char* attribute_type_name(AttributeType type);
const char* attribute_level_name(AttributeLevel level);

// One attribute as read: the value as written in the file.
struct ReadAttribute {
    std::string key;
    std::string value;
    AttributeType type = AttributeType::untyped;
};

// Which attributes a read keeps: none (the default, costing nothing), all, or the named keys.
class AttributeChoice {
public:
    static AttributeChoice none() { return AttributeChoice(); }
    static AttributeChoice all() {
        AttributeChoice choice;
        choice.all_ = true;
        return choice;
    }
    static AttributeChoice keys(std::set<std::string, std::less<>> keys) {
        AttributeChoice choice;
        choice.keys_ = std::move(keys);
        return choice;
    }

    bool any() const { return all_ || !keys_.empty(); }
    bool wants(std::string_view key) const { return all_ || keys_.contains(key); }
    // Adds the key to a choice of keys; a choice of all stays all.
    void add(const std::string& key) {
        if (!all_) keys_.insert(key);
    }

private:
    bool all_ = false;
    std::set<std::string, std::less<>> keys_;
};

// The keys that hold the event's name, transition and times, read into the lines themselves.
bool is_line_key(std::string_view key);

// The number, boolean or moment (minutes since 1970, UTC) a text spells, as the untyped formats
// write them.
std::optional<double> number_of_text(std::string_view text);
std::optional<bool> boolean_of_text(std::string_view text);

}  // namespace vesk
