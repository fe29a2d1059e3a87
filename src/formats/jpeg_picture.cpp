#include "formats/jpeg_picture.h"

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <string>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace vesk {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void on_error(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void on_message(j_common_ptr, int) {}  // warnings of a readable picture are not the user's concern

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

RgbPicture decode_jpeg(const std::filesystem::path& file, std::int64_t max_pixels) {
    const std::unique_ptr<std::FILE, FileCloser> in(std::fopen(file.c_str(), "rb"));
    if (!in) throw PictureReadError("the picture " + file.string() + " cannot be opened");

    // No C++ object with a destructor may live between setjmp and a longjmp to it: the
    // picture is filled through a pointer and the error text copied after the jump.
    auto picture = std::make_unique<RgbPicture>();
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = on_error;
    errors.base.emit_message = on_message;
    volatile bool too_big = false;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&info);
        throw PictureReadError("the picture " + file.string() +
                               " cannot be read: " + errors.message);
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, in.get());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    if (static_cast<std::int64_t>(info.image_width) * info.image_height > max_pixels) {
        too_big = true;
    } else {
        jpeg_start_decompress(&info);
        picture->width = static_cast<std::int32_t>(info.output_width);
        picture->height = static_cast<std::int32_t>(info.output_height);
        const std::size_t row = static_cast<std::size_t>(info.output_width) * 3;
        picture->pixels.resize(row * info.output_height);
        while (info.output_scanline < info.output_height) {
            JSAMPROW line = picture->pixels.data() + row * info.output_scanline;
            jpeg_read_scanlines(&info, &line, 1);
        }
        jpeg_finish_decompress(&info);
    }
    const std::int64_t width = info.image_width;
    const std::int64_t height = info.image_height;
    jpeg_destroy_decompress(&info);
    if (too_big)
        throw PictureReadError("the picture " + file.string() + " is too large to show (" +
                               std::to_string(width) + " x " + std::to_string(height) + " pixels)");
    return std::move(*picture);
}

}  // namespace vesk
