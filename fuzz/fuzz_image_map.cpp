// The image-map reader and the hit test on what it read.

#include <cstdint>
#include <string>

#include "formats/vesk_map_processing.h"
#include "fuzz_input_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static vesk::fuzz::InputFile file(".map");
    vesk::TrectangleList list;
    try {
        list.Load_map(file.write(data, size));
    } catch (const std::exception&) {
    }
    for (const vesk::Trectangle& r : list.rectangles()) {
        // Every area read is a proper box; its corners hit it.
        if (r.x1 > r.x2 || r.y2 > r.y1) __builtin_trap();
        if (list.Rectangle_at(r.x1, r.y1) == nullptr) __builtin_trap();
        (void)list.Rectangle_at(r.x2, r.y2);
    }
    return 0;
}
