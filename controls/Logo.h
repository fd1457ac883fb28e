// The wizard's logo: an 8-bit indexed PNG in the program's resources,
// decoded into a palette bitmap with the palette order and the pixel indices
// unchanged.
#pragma once

#include "instutils/SetupError.h"
#include "instutils/Handles.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qwp {

struct IndexedImage {
    int width = 0, height = 0;
    std::vector<RGBQUAD> palette;      // the PLTE entries in order (1 to 256)
    std::vector<std::uint8_t> pixels;  // width * height indices, rows top to bottom
};

// Decodes PNG data of colour type 3 (palette), bit depth 8, not interlaced.
// False for any other form, for damaged data (signature, chunk CRC, zlib
// stream, truncation) and for images larger than 8192 x 8192; image is then
// left empty and error, when given, says why. A transparency chunk is
// ignored: the bitmap has no alpha.
bool DecodeIndexedPng(const void* data, std::size_t size, IndexedImage& image, std::string* error = nullptr);

// A top-down 8-bpp DIB section of the image, its colour table the palette
// (padded to 256 entries with black). Throws SetupError when the DIB cannot
// be made.
UniqueGdiObject MakePaletteBitmap(const IndexedImage& image);

// The resource of type "PNG" with this name in the program's own module,
// decoded into a palette bitmap (an HBITMAP). The picture is part of the
// program, so a missing or damaged one is an error of the build: throws
// SetupError with the decoder's message.
UniqueGdiObject LoadLogo(const char* resourceName);

}  // namespace qwp
