#include "controls/Logo.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>

namespace qwp {

namespace {

constexpr png_uint_32 kMaxSide = 8192;
constexpr int kColourTableSize = 256;

// What libpng's callbacks share with the decoder. Plain data only: libpng
// leaves an error through longjmp, which must not skip a destructor.
struct DecodeContext {
    const png_byte* data;
    std::size_t size;
    std::size_t offset;
    char message[160];
};

// Copies a message into the context, cut to fit. A plain copy rather than
// snprintf: the C runtime's formatter would be linked in for this alone.
void SetMessage(DecodeContext& context, const char* message) {
    const std::size_t length = std::min(std::strlen(message), sizeof context.message - 1);
    std::memcpy(context.message, message, length);
    context.message[length] = '\0';
}

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* context = static_cast<DecodeContext*>(png_get_io_ptr(png));
    if (length > context->size - context->offset) png_error(png, "the PNG data ends early");
    std::memcpy(out, context->data + context->offset, length);
    context->offset += length;
}

// libpng requires that an error function does not return.
[[noreturn]] void OnError(png_structp png, png_const_charp message) {
    auto* context = static_cast<DecodeContext*>(png_get_error_ptr(png));
    SetMessage(*context, message ? message : "unknown error");
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Frees libpng's structures on every way out, exceptions included.
struct ReadStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ReadStructs() = default;
    ReadStructs(const ReadStructs&) = delete;
    ReadStructs& operator=(const ReadStructs&) = delete;
    ~ReadStructs() {
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

// Everything libpng may leave by longjmp runs in here. The jump lands in
// this frame, whose locals are plain values not used after it; what gets
// filled belongs to the caller. An allocation failure throws from this
// frame, outside libpng's C frames.
bool ReadImage(png_structp png, png_infop info, IndexedImage& image) {
    if (setjmp(png_jmpbuf(png))) return false;

    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, &interlace, nullptr, nullptr);
    if (colourType != PNG_COLOR_TYPE_PALETTE) png_error(png, "the picture has no palette (colour type 3)");
    if (bitDepth != 8) png_error(png, "the picture does not have 8 bits per pixel");
    if (interlace != PNG_INTERLACE_NONE) png_error(png, "the picture is interlaced");

    png_colorp colours = nullptr;
    int colourCount = 0;
    if (png_get_PLTE(png, info, &colours, &colourCount) != PNG_INFO_PLTE || colourCount < 1 ||
        colourCount > kColourTableSize)
        png_error(png, "the picture's palette is missing");
    image.palette.resize(static_cast<std::size_t>(colourCount));
    for (int i = 0; i < colourCount; ++i)
        image.palette[i] = RGBQUAD{colours[i].blue, colours[i].green, colours[i].red, 0};

    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != width) png_error(png, "unexpected row length");
    image.pixels.resize(static_cast<std::size_t>(width) * height);
    for (png_uint_32 row = 0; row < height; ++row)
        png_read_row(png, &image.pixels[static_cast<std::size_t>(row) * width], nullptr);
    // Reads on to IEND: a damaged end of the image data or of the file is an
    // error too.
    png_read_end(png, nullptr);

    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    return true;
}

std::string ResourceLabel(const char* name) {
    if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name));
    return name;
}

}  // namespace

bool DecodeIndexedPng(const void* data, std::size_t size, IndexedImage& image, std::string* error) {
    image = IndexedImage();
    DecodeContext context = {static_cast<const png_byte*>(data), data ? size : 0, 0, {}};
    bool decoded = false;
    {
        ReadStructs structs;
        structs.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &context, OnError, OnWarning);
        if (structs.png) structs.info = png_create_info_struct(structs.png);
        if (!structs.png || !structs.info) {
            SetMessage(context, "the PNG decoder could not be set up");
        } else {
            png_set_user_limits(structs.png, kMaxSide, kMaxSide);
            png_set_read_fn(structs.png, &context, ReadFromMemory);
            decoded = ReadImage(structs.png, structs.info, image);
        }
    }
    if (!decoded) {
        image = IndexedImage();
        if (error) *error = context.message;
    }
    return decoded;
}

UniqueGdiObject MakePaletteBitmap(const IndexedImage& image) {
    if (image.width <= 0 || image.height <= 0 || image.palette.empty() ||
        image.palette.size() > kColourTableSize ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height)
        throw SetupError("not a complete indexed image");

    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[kColourTableSize];
    } info = {};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = image.width;
    info.header.biHeight = -image.height;  // negative: rows top to bottom
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = kColourTableSize;
    std::copy(image.palette.begin(), image.palette.end(), info.colours);

    void* bits = nullptr;
    UniqueGdiObject bitmap(CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                            &bits, nullptr, 0));
    if (!bitmap || !bits) throw SetupError("the logo bitmap could not be created");

    // DIB rows are padded to whole 32-bit words.
    const std::size_t width = static_cast<std::size_t>(image.width);
    const std::size_t stride = (width + 3) & ~std::size_t{3};
    auto* target = static_cast<std::uint8_t*>(bits);
    for (std::size_t row = 0; row < static_cast<std::size_t>(image.height); ++row)
        std::memcpy(target + row * stride, &image.pixels[row * width], width);
    return bitmap;
}

UniqueGdiObject LoadLogo(const char* resourceName) {
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC resource = FindResourceA(module, resourceName, "PNG");
    const HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) throw SetupError("the picture resource " + ResourceLabel(resourceName) + " is missing");

    IndexedImage image;
    std::string error;
    if (!DecodeIndexedPng(data, SizeofResource(module, resource), image, &error))
        throw SetupError("the picture resource " + ResourceLabel(resourceName) + " is damaged: " + error);
    return MakePaletteBitmap(image);
}

}  // namespace qwp
