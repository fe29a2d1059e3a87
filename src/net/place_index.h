#pragma once
// The place lookup of the alpha construction.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/text_util.h"

namespace vesk {

// The parts of a set between its "&"s.
std::vector<std::string_view> tokens_of(std::string_view set) {
    std::vector<std::string_view> tokens;
    std::size_t begin = 0;
    for (std::size_t at = set.find('&'); at != std::string_view::npos; at = set.find('&', begin)) {
        tokens.push_back(set.substr(begin, at - begin));
        begin = at + 1;
    }
    tokens.push_back(set.substr(begin));
    return tokens;
}

// "*name*" with no other "*" in it.
bool simple_token(std::string_view token) {
    return token.size() >= 2 && token.front() == '*' && token.back() == '*' &&
           token.substr(1, token.size() - 2).find('*') == std::string_view::npos;
}

// Finds the place that Tpetrinet::Find_place finds among the places Build_net adds, without
// scanning them all: the first place whose input set holds every "&"-part of the inputs and
// whose output set every part of the outputs, letters compared case-blind.
//
// In a set made of simple tokens ("*A*&*B*", no "*" inside a name), a simple part occurs as a
// substring exactly when it equals one of the tokens. So such a place is kept as the numbers
// of its tokens, listed under each of them, and checked by comparing numbers; only places
// and queries whose names break the pattern are compared as text.
class PlaceIndex {
public:
    // -1 when there is none.
    std::int32_t find(std::string_view inputs, std::string_view outputs) const {
        const std::string in = ascii_lower(inputs);
        const std::string out = ascii_lower(outputs);
        const auto in_parts = tokens_of(in);
        const auto out_parts = tokens_of(out);
        const auto all_simple = [](const std::vector<std::string_view>& parts) {
            return std::all_of(parts.begin(), parts.end(), simple_token);
        };
        if (in.empty() || out.empty() || !all_simple(in_parts) || !all_simple(out_parts)) {
            for (std::size_t p = 0; p < places_.size(); ++p)
                if (holds_text(p, in, in_parts, out, out_parts))
                    return static_cast<std::int32_t>(p);
            return -1;
        }
        // A token no regular place has leaves the irregular places only.
        Bits in_bits, out_bits;
        bool known = true;
        const std::vector<std::int32_t>* candidates = nullptr;
        for (const std::string_view part : in_parts) {
            const auto id = token_ids_.find(std::string(part));
            if (id == token_ids_.end()) {
                known = false;
                break;
            }
            set(in_bits, id->second);
            const auto& list = by_input_token_[static_cast<std::size_t>(id->second)];
            if (candidates == nullptr || list.size() < candidates->size()) candidates = &list;
        }
        for (const std::string_view part : out_parts) {
            const auto id = known ? token_ids_.find(std::string(part)) : token_ids_.end();
            if (id == token_ids_.end()) {
                known = false;
                break;
            }
            set(out_bits, id->second);
            const auto& list = by_output_token_[static_cast<std::size_t>(id->second)];
            if (list.size() < candidates->size()) candidates = &list;
        }
        if (!known) candidates = &none_;
        // Those and the irregular places, in place order.
        auto c = candidates->begin();
        auto i = irregular_.begin();
        while (c != candidates->end() || i != irregular_.end()) {
            const bool take_c = i == irregular_.end() || (c != candidates->end() && *c < *i);
            const std::int32_t p = take_c ? *c++ : *i++;
            const auto& place = places_[static_cast<std::size_t>(p)];
            const bool holds =
                place.regular
                    ? within(in_bits, place.inputs) && within(out_bits, place.outputs)
                    : holds_text(static_cast<std::size_t>(p), in, in_parts, out, out_parts);
            if (holds) return p;
        }
        return -1;
    }

    void add(std::string_view inputs, std::string_view outputs) {
        const auto p = static_cast<std::int32_t>(places_.size());
        Place place{ascii_lower(inputs), ascii_lower(outputs), {}, {}, false};
        const auto in_tokens = tokens_of(place.input_text);
        const auto out_tokens = tokens_of(place.output_text);
        place.regular = std::all_of(in_tokens.begin(), in_tokens.end(), simple_token) &&
                        std::all_of(out_tokens.begin(), out_tokens.end(), simple_token);
        if (place.regular) {
            for (const std::string_view token : in_tokens) {
                const std::int32_t id = token_id(token);
                set(place.inputs, id);
                auto& list = by_input_token_[static_cast<std::size_t>(id)];
                if (list.empty() || list.back() != p) list.push_back(p);
            }
            for (const std::string_view token : out_tokens) {
                const std::int32_t id = token_id(token);
                set(place.outputs, id);
                auto& list = by_output_token_[static_cast<std::size_t>(id)];
                if (list.empty() || list.back() != p) list.push_back(p);
            }
        } else {
            irregular_.push_back(p);
        }
        places_.push_back(std::move(place));
    }

private:
    using Bits = std::vector<std::uint64_t>;
    struct Place {
        std::string input_text, output_text;
        Bits inputs, outputs;
        bool regular;
    };

    static void set(Bits& bits, std::int32_t id) {
        const auto word = static_cast<std::size_t>(id) / 64;
        if (bits.size() <= word) bits.resize(word + 1, 0);
        bits[word] |= std::uint64_t{1} << (static_cast<std::size_t>(id) % 64);
    }
    static bool within(const Bits& part, const Bits& whole) {
        for (std::size_t w = 0; w < part.size(); ++w)
            if ((part[w] & ~(w < whole.size() ? whole[w] : 0)) != 0) return false;
        return true;
    }

    std::int32_t token_id(std::string_view token) {
        const auto [it, added] = token_ids_.try_emplace(
            std::string(token), static_cast<std::int32_t>(token_ids_.size()));
        if (added) {
            by_input_token_.emplace_back();
            by_output_token_.emplace_back();
        }
        return it->second;
    }

    // An empty query side imposes nothing, as in Find_place.
    bool holds_text(std::size_t p, const std::string& in,
                    const std::vector<std::string_view>& in_parts, const std::string& out,
                    const std::vector<std::string_view>& out_parts) const {
        const auto contains = [](const std::string& set,
                                 const std::vector<std::string_view>& parts) {
            return std::all_of(parts.begin(), parts.end(), [&](std::string_view part) {
                return set.find(part) != std::string::npos;
            });
        };
        return (in.empty() || contains(places_[p].input_text, in_parts)) &&
               (out.empty() || contains(places_[p].output_text, out_parts));
    }

    std::vector<Place> places_;
    std::unordered_map<std::string, std::int32_t> token_ids_;
    std::vector<std::vector<std::int32_t>> by_input_token_, by_output_token_;
    std::vector<std::int32_t> irregular_;
    const std::vector<std::int32_t> none_{};
};

}  // namespace vesk
