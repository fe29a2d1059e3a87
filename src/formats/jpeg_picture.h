#pragma once
// JPEG pictures decoded into plain RGB pixels, for windows that show what dot drew.

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace vesk {

class PictureReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct RgbPicture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    // Rows top to bottom, three bytes per pixel.
    std::vector<std::uint8_t> pixels;
};

// Throws PictureReadError for a missing, unreadable or corrupt file, and for pictures larger
// than max_pixels (dot draws a big net as a big picture; memory is bounded all the same).
RgbPicture decode_jpeg(const std::filesystem::path& file,
                       std::int64_t max_pixels = std::int64_t{1} << 28);

}  // namespace vesk
