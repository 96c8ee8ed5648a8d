#pragma once
// The program's PNG resources as the build decoded them (tools/decode_png_resources, with Qt's PNG decoder):
// straight-alpha ARGB32 pixels, row after row. Start-up draws the skin and sets the icon from these instead of
// decoding PNG data.
#include <cstddef>
#include <cstdint>

namespace dashcam {

struct DecodedPngResource {
    const char16_t* path; // the resource path, ":/png/143.png"
    int width;
    int height;
    const std::uint32_t* pixels;
};

extern const DecodedPngResource kDecodedPngResources[];
extern const std::size_t kDecodedPngResourceCount;

} // namespace dashcam
