#include "formats/vesk_map_processing.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>

#include "base/number_format.h"
#include "base/text_util.h"

namespace vesk {

namespace {

std::int32_t number(const std::string& text) {
    int value = 0;
    if (!parse_int32(text, value))
        throw MapFormatError("'" + text + "' is not a valid integer value");
    return value;
}

// Splits "x,y" at its comma; empty when it is not two integers.
std::optional<std::pair<std::int32_t, std::int32_t>> point(const std::string& token) {
    const auto comma = token.find(',');
    if (comma == std::string::npos) return std::nullopt;
    int x = 0, y = 0;
    if (!parse_int32(token.substr(0, comma), x) || !parse_int32(token.substr(comma + 1), y))
        return std::nullopt;
    return std::pair{x, y};
}

// Takes the points "x,y" off the end of the text; what is left is the url.
std::vector<std::pair<std::int32_t, std::int32_t>> points_from_end(std::string& rest) {
    std::vector<std::pair<std::int32_t, std::int32_t>> points;
    while (true) {
        const auto blank = rest.find_last_of(' ');
        const std::string token = rest.substr(blank == std::string::npos ? 0 : blank + 1);
        const auto p = point(token);
        if (!p || blank == std::string::npos) break;
        points.insert(points.begin(), *p);
        rest = trimmed(rest.substr(0, blank));
    }
    return points;
}

Trectangle bounding(const std::vector<std::pair<std::int32_t, std::int32_t>>& points,
                    std::string url) {
    Trectangle r{points[0].first, points[0].second, points[0].first, points[0].second,
                 std::move(url)};
    for (const auto& [x, y] : points) {
        r.x1 = std::min(r.x1, x);
        r.x2 = std::max(r.x2, x);
        r.y2 = std::min(r.y2, y);
        r.y1 = std::max(r.y1, y);
    }
    return r;
}

Trectangle rect_line(const std::string& rest_of_line) {
    std::string rest = trimmed(rest_of_line);
    const auto cut = [&rest](char separator) {
        const auto at = rest.find_last_of(separator);
        if (at == std::string::npos) throw MapFormatError("a corner of the rectangle is missing");
        const std::string text = rest.substr(at + 1);
        rest.resize(at);
        return number(text);
    };
    const std::int32_t y2 = cut(',');
    const std::int32_t x2 = cut(' ');
    const std::int32_t y1 = cut(',');
    const std::int32_t x1 = cut(' ');
    // Either corner order: the left-upper corner first, as dot writes it today, works too.
    return bounding({{x1, y1}, {x2, y2}}, trimmed(rest));
}

Trectangle circle_line(const std::string& rest_of_line) {
    std::string rest = trimmed(rest_of_line);
    const auto comma = rest.find_last_of(',');
    if (comma == std::string::npos) throw MapFormatError("the radius of the circle is missing");
    const std::int32_t radius = number(rest.substr(comma + 1));
    rest.resize(comma);
    const auto centre = points_from_end(rest);
    if (centre.size() != 1) throw MapFormatError("the centre of the circle is missing");
    if (radius < 0) throw MapFormatError("the radius of the circle is negative");
    const auto [x, y] = centre[0];
    // The box must fit 32 bits: a centre near the limit plus the radius would wrap otherwise.
    const auto coordinate = [](std::int64_t value) {
        if (value < std::numeric_limits<std::int32_t>::min() ||
            value > std::numeric_limits<std::int32_t>::max())
            throw MapFormatError("the circle reaches beyond the coordinate range");
        return static_cast<std::int32_t>(value);
    };
    const std::int64_t r = radius;
    return bounding(
        {{coordinate(x - r), coordinate(y - r)}, {coordinate(x + r), coordinate(y + r)}}, rest);
}

Trectangle poly_line(const std::string& rest_of_line) {
    std::string rest = trimmed(rest_of_line);
    const auto points = points_from_end(rest);
    if (points.empty()) throw MapFormatError("the polygon has no points");
    return bounding(points, rest);
}

}  // namespace

std::optional<Trectangle> parse_map_line(const std::string& line) {
    if (line.rfind("rect", 0) == 0) return rect_line(line.substr(4));
    if (line.rfind("circle", 0) == 0) return circle_line(line.substr(6));
    if (line.rfind("poly", 0) == 0) return poly_line(line.substr(4));
    return std::nullopt;
}

void TrectangleList::Add_rectangle(std::int32_t x1, std::int32_t y1, std::int32_t x2,
                                   std::int32_t y2, std::string url) {
    rectangles_.push_back({x1, y1, x2, y2, std::move(url)});
}

void TrectangleList::Load_map(const std::string& file_name) {
    std::ifstream in(file_name, std::ios::binary);
    if (!in) throw std::runtime_error(file_name + ": " + std::strerror(errno));
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        try {
            if (auto r = parse_map_line(line)) rectangles_.push_back(std::move(*r));
        } catch (const MapFormatError& error) {
            throw MapFormatError(file_name + ", line " + std::to_string(number) + ": " +
                                 error.what());
        }
    }
}

const Trectangle* TrectangleList::Rectangle_at(std::int32_t x, std::int32_t y) const {
    for (const Trectangle& r : rectangles_)
        if (r.Contains(x, y)) return &r;
    return nullptr;
}

}  // namespace vesk
