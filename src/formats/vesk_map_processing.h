#pragma once
// The clickable areas of a rendered net, read from dot's image map.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vesk {

// A map line that cannot be read; what() names the file and line.
class MapFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Trectangle {
    std::int32_t x1;  // left
    std::int32_t y1;  // lower edge: the larger y, picture y growing downwards
    std::int32_t x2;  // right
    std::int32_t y2;  // upper edge
    std::string url;

    bool Contains(std::int32_t x, std::int32_t y) const {
        return x1 <= x && x <= x2 && y2 <= y && y <= y1;
    }
};

class TrectangleList {
public:
    void Add_rectangle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                       std::string url);
    // Appends one rectangle per "rect", "circle" or "poly" line, in file order; circles and
    // polygons count as their bounding boxes, and either corner order of a rectangle is taken.
    // Throws std::runtime_error when the file cannot be read, MapFormatError for a bad line;
    // the rectangles of earlier lines stay.
    void Load_map(const std::string& file_name);
    // The first rectangle that contains the point, or null.
    const Trectangle* Rectangle_at(std::int32_t x, std::int32_t y) const;

    const std::vector<Trectangle>& rectangles() const { return rectangles_; }

private:
    std::vector<Trectangle> rectangles_;
};

// One map line as a rectangle; empty for lines that name no area. Throws MapFormatError.
std::optional<Trectangle> parse_map_line(const std::string& line);

}  // namespace vesk
