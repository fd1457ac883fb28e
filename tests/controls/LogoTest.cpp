// The logo decoder. The stored picture is checked against a reading of its
// chunks made here with zlib alone; small pictures built here check the row
// filters, odd widths and everything the decoder has to refuse.
#include "controls/Logo.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <zlib.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace qwp::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Colour = std::array<std::uint8_t, 3>;  // red, green, blue as in PLTE

const char kSignature[] = "\x89PNG\r\n\x1a\n";

std::uint32_t BigEndian(const std::string& data, std::size_t at) {
    return std::uint32_t(std::uint8_t(data[at])) << 24 | std::uint32_t(std::uint8_t(data[at + 1])) << 16 |
           std::uint32_t(std::uint8_t(data[at + 2])) << 8 | std::uint8_t(data[at + 3]);
}

std::string BigEndianText(std::uint32_t value) {
    return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

std::uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return std::uint8_t(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// The prediction of a row filter for one byte, given left, up and up-left.
std::uint8_t Predict(int filter, int a, int b, int c) {
    switch (filter) {
        case 1: return std::uint8_t(a);
        case 2: return std::uint8_t(b);
        case 3: return std::uint8_t((a + b) / 2);
        case 4: return Paeth(a, b, c);
        default: return 0;
    }
}

// --- Reading the stored picture without libpng ---------------------------

struct PlainPng {
    std::uint32_t width = 0, height = 0;
    int bitDepth = 0, colourType = 0, interlace = 0;
    std::vector<Colour> palette;
    Bytes pixels;
};

// For 8-bit indexed, non-interlaced data; fails the test otherwise.
PlainPng ReadPlainPng(const std::string& png) {
    PlainPng image;
    EXPECT_EQ(std::string(kSignature, 8), png.substr(0, 8));
    std::string idat;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t length = BigEndian(png, at);
        const std::string type = png.substr(at + 4, 4), data = png.substr(at + 8, length);
        if (type == "IHDR") {
            image.width = BigEndian(data, 0);
            image.height = BigEndian(data, 4);
            image.bitDepth = std::uint8_t(data[8]);
            image.colourType = std::uint8_t(data[9]);
            image.interlace = std::uint8_t(data[12]);
        } else if (type == "PLTE") {
            for (std::size_t i = 0; i + 3 <= data.size(); i += 3)
                image.palette.push_back({std::uint8_t(data[i]), std::uint8_t(data[i + 1]), std::uint8_t(data[i + 2])});
        } else if (type == "IDAT") {
            idat += data;
        }
        at += 12 + length;
    }
    const std::size_t stride = image.width + 1;
    Bytes raw(stride * image.height);
    uLongf rawSize = static_cast<uLongf>(raw.size());
    EXPECT_EQ(Z_OK, uncompress(raw.data(), &rawSize, reinterpret_cast<const Bytef*>(idat.data()),
                               static_cast<uLong>(idat.size())));
    EXPECT_EQ(raw.size(), rawSize);

    image.pixels.resize(std::size_t(image.width) * image.height);
    for (std::uint32_t y = 0; y < image.height; ++y) {
        const int filter = raw[y * stride];
        for (std::uint32_t x = 0; x < image.width; ++x) {
            const int a = x ? image.pixels[y * image.width + x - 1] : 0;
            const int b = y ? image.pixels[(y - 1) * image.width + x] : 0;
            const int c = x && y ? image.pixels[(y - 1) * image.width + x - 1] : 0;
            image.pixels[y * image.width + x] = std::uint8_t(raw[y * stride + 1 + x] + Predict(filter, a, b, c));
        }
    }
    return image;
}

std::string LogoResource() {
    const HRSRC resource = FindResourceA(nullptr, "LOGO", "PNG");
    if (!resource) return {};
    const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, resource)));
    return std::string(data, SizeofResource(nullptr, resource));
}

// --- Building small pictures ---------------------------------------------

std::string Chunk(const std::string& type, const std::string& data) {
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type.data()), 4);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
    return BigEndianText(static_cast<std::uint32_t>(data.size())) + type + data +
           BigEndianText(static_cast<std::uint32_t>(crc));
}

struct PngParts {
    std::uint32_t width = 0, height = 0;
    int bitDepth = 8, colourType = 3, interlace = 0;
    std::vector<Colour> palette;
    std::string rows;  // filter byte and data of every row, before compression
};

std::string Compressed(const std::string& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    EXPECT_EQ(Z_OK, compress2(reinterpret_cast<Bytef*>(&out[0]), &size, reinterpret_cast<const Bytef*>(data.data()),
                              static_cast<uLong>(data.size()), 9));
    out.resize(size);
    return out;
}

std::string BuildPng(const PngParts& parts) {
    std::string header = BigEndianText(parts.width) + BigEndianText(parts.height);
    header += {char(parts.bitDepth), char(parts.colourType), 0, 0, char(parts.interlace)};
    std::string plte;
    for (const Colour& colour : parts.palette) plte += {char(colour[0]), char(colour[1]), char(colour[2])};
    std::string png(kSignature, 8);
    png += Chunk("IHDR", header);
    if (!plte.empty()) png += Chunk("PLTE", plte);
    png += Chunk("IDAT", Compressed(parts.rows));
    png += Chunk("IEND", "");
    return png;
}

// Rows of 8-bit indices, row y filtered with filters[y % filters.size()].
std::string FilteredRows(const Bytes& pixels, std::uint32_t width, std::uint32_t height,
                         const std::vector<int>& filters) {
    std::string rows;
    for (std::uint32_t y = 0; y < height; ++y) {
        const int filter = filters[y % filters.size()];
        rows += char(filter);
        for (std::uint32_t x = 0; x < width; ++x) {
            const int a = x ? pixels[y * width + x - 1] : 0;
            const int b = y ? pixels[(y - 1) * width + x] : 0;
            const int c = x && y ? pixels[(y - 1) * width + x - 1] : 0;
            rows += char(std::uint8_t(pixels[y * width + x] - Predict(filter, a, b, c)));
        }
    }
    return rows;
}

std::vector<Colour> GreyRamp(int count) {
    std::vector<Colour> palette;
    for (int i = 0; i < count; ++i) palette.push_back({std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i * 7)});
    return palette;
}

// A 7 x 5 picture (odd width, so DIB rows are padded) using all five filters.
PngParts SmallIndexed(Bytes& pixels) {
    PngParts parts;
    parts.width = 7;
    parts.height = 5;
    parts.palette = GreyRamp(256);
    pixels.resize(35);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = std::uint8_t((i * 37 + 11) % 256);
    parts.rows = FilteredRows(pixels, 7, 5, {0, 1, 2, 3, 4});
    return parts;
}

bool SameColour(const RGBQUAD& quad, const Colour& colour) {
    return quad.rgbRed == colour[0] && quad.rgbGreen == colour[1] && quad.rgbBlue == colour[2];
}

// --- Tests ----------------------------------------------------------------

TEST(Logo, StoredPictureDecodesToItsIndicesAndPalette) {
    const std::string png = LogoResource();
    ASSERT_FALSE(png.empty()) << "resource PNG/LOGO missing from the test program";
    const PlainPng plain = ReadPlainPng(png);
    ASSERT_EQ(120u, plain.width);
    ASSERT_EQ(260u, plain.height);
    ASSERT_EQ(256u, plain.palette.size());

    IndexedImage image;
    std::string error;
    ASSERT_TRUE(DecodeIndexedPng(png.data(), png.size(), image, &error)) << error;
    EXPECT_EQ(120, image.width);
    EXPECT_EQ(260, image.height);
    ASSERT_EQ(plain.palette.size(), image.palette.size());
    for (std::size_t i = 0; i < plain.palette.size(); ++i)
        EXPECT_TRUE(SameColour(image.palette[i], plain.palette[i])) << "palette entry " << i;
    EXPECT_EQ(plain.pixels, image.pixels);
}

TEST(Logo, LoadLogoGivesATopDownPaletteDib) {
    const PlainPng plain = ReadPlainPng(LogoResource());
    UniqueGdiObject bitmap = LoadLogo("LOGO");
    ASSERT_TRUE(bitmap);

    DIBSECTION dib = {};
    ASSERT_EQ(int(sizeof dib), GetObjectA(bitmap.get(), sizeof dib, &dib));
    EXPECT_EQ(120, dib.dsBm.bmWidth);
    EXPECT_EQ(260, dib.dsBm.bmHeight);
    EXPECT_EQ(8, dib.dsBm.bmBitsPixel);
    ASSERT_NE(nullptr, dib.dsBm.bmBits);

    const HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(nullptr, dc);
    const HGDIOBJ old = SelectObject(dc, bitmap.get());
    RGBQUAD table[256] = {};
    const UINT entries = GetDIBColorTable(dc, 0, 256, table);
    // One pixel through GDI itself, as a cross-check of the orientation.
    const COLORREF topLeft = GetPixel(dc, 0, 0);
    SelectObject(dc, old);
    DeleteDC(dc);
    ASSERT_EQ(256u, entries);

    const auto* bits = static_cast<const std::uint8_t*>(dib.dsBm.bmBits);
    int wrong = 0;
    for (std::uint32_t y = 0; y < plain.height; ++y)
        for (std::uint32_t x = 0; x < plain.width; ++x) {
            const std::uint8_t stored = plain.pixels[y * plain.width + x];
            const std::uint8_t shown = bits[y * dib.dsBm.bmWidthBytes + x];
            if (shown != stored || !SameColour(table[shown], plain.palette[stored])) ++wrong;
        }
    EXPECT_EQ(0, wrong) << "pixels whose index or colour differs from the stored picture";
    const Colour& first = plain.palette[plain.pixels[0]];
    EXPECT_EQ(RGB(first[0], first[1], first[2]), topLeft);
}

TEST(Logo, RowFiltersAndOddWidths) {
    Bytes pixels;
    const std::string png = BuildPng(SmallIndexed(pixels));
    IndexedImage image;
    std::string error;
    ASSERT_TRUE(DecodeIndexedPng(png.data(), png.size(), image, &error)) << error;
    EXPECT_EQ(7, image.width);
    EXPECT_EQ(5, image.height);
    EXPECT_EQ(pixels, image.pixels);

    UniqueGdiObject bitmap = MakePaletteBitmap(image);
    DIBSECTION dib = {};
    ASSERT_EQ(int(sizeof dib), GetObjectA(bitmap.get(), sizeof dib, &dib));
    EXPECT_EQ(8, dib.dsBm.bmWidthBytes) << "rows padded to 32 bits";
    const auto* bits = static_cast<const std::uint8_t*>(dib.dsBm.bmBits);
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(Bytes(pixels.begin() + y * 7, pixels.begin() + y * 7 + 7), Bytes(bits + y * 8, bits + y * 8 + 7))
            << "row " << y;
}

TEST(Logo, ShortPaletteIsPaddedInTheBitmap) {
    PngParts parts;
    parts.width = 2;
    parts.height = 1;
    parts.palette = {{10, 20, 30}, {40, 50, 60}};
    parts.rows = std::string("\0\x01\x00", 3);
    const std::string png = BuildPng(parts);
    IndexedImage image;
    ASSERT_TRUE(DecodeIndexedPng(png.data(), png.size(), image));
    ASSERT_EQ(2u, image.palette.size());
    EXPECT_TRUE(SameColour(image.palette[1], {40, 50, 60}));
    EXPECT_EQ(Bytes({1, 0}), image.pixels);

    UniqueGdiObject bitmap = MakePaletteBitmap(image);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, bitmap.get());
    RGBQUAD table[256];
    const UINT entries = GetDIBColorTable(dc, 0, 256, table);
    SelectObject(dc, old);
    DeleteDC(dc);
    ASSERT_EQ(256u, entries);
    EXPECT_TRUE(SameColour(table[0], {10, 20, 30}));
    EXPECT_TRUE(SameColour(table[2], {0, 0, 0}));
}

// Each case: what was changed, and the picture.
struct Refused {
    const char* what;
    std::string png;
};

std::vector<Refused> RefusedPictures() {
    Bytes pixels;
    const PngParts good = SmallIndexed(pixels);
    const std::string goodPng = BuildPng(good);
    std::vector<Refused> cases;

    PngParts rgb = good;
    rgb.colourType = 2;
    rgb.palette.clear();
    rgb.rows.clear();
    for (int y = 0; y < 5; ++y) rgb.rows += std::string(1, '\0') + std::string(21, 'x');
    cases.push_back({"RGB colour", BuildPng(rgb)});

    PngParts grey = good;
    grey.colourType = 0;
    grey.palette.clear();
    cases.push_back({"8-bit grey", BuildPng(grey)});

    PngParts fourBit = good;
    fourBit.bitDepth = 4;
    fourBit.palette = GreyRamp(16);
    fourBit.rows.clear();
    for (int y = 0; y < 5; ++y) fourBit.rows += std::string(1, '\0') + std::string(4, '\x12');
    cases.push_back({"4 bits per pixel", BuildPng(fourBit)});

    PngParts interlaced = good;
    interlaced.interlace = 1;
    cases.push_back({"interlaced", BuildPng(interlaced)});

    PngParts noPalette = good;
    noPalette.palette.clear();
    cases.push_back({"no PLTE", BuildPng(noPalette)});

    PngParts fewRows = good;
    fewRows.height = 6;
    cases.push_back({"image data for fewer rows than IHDR says", BuildPng(fewRows)});

    PngParts huge = good;
    huge.width = 9000;
    cases.push_back({"wider than 8192", BuildPng(huge)});

    std::string badCrc = goodPng;
    const std::size_t idat = badCrc.find("IDAT");
    badCrc[idat + 6] ^= 0x40;
    cases.push_back({"a changed byte in IDAT", badCrc});

    std::string badSignature = goodPng;
    badSignature[1] = 'Q';
    cases.push_back({"signature", badSignature});

    cases.push_back({"cut in the middle of IDAT", goodPng.substr(0, idat + 10)});
    cases.push_back({"only the signature", goodPng.substr(0, 8)});
    cases.push_back({"empty", ""});
    return cases;
}

TEST(Logo, RefusesOtherFormsAndDamage) {
    for (const Refused& refused : RefusedPictures()) {
        IndexedImage image;
        image.width = 99;
        image.pixels.assign(3, 0xdd);
        std::string error = "<untouched>";
        EXPECT_FALSE(DecodeIndexedPng(refused.png.data(), refused.png.size(), image, &error)) << refused.what;
        EXPECT_EQ(0, image.width) << refused.what << ": the image is left empty";
        EXPECT_TRUE(image.pixels.empty() && image.palette.empty()) << refused.what;
        EXPECT_NE("<untouched>", error) << refused.what;
        EXPECT_FALSE(error.empty()) << refused.what;
    }
    IndexedImage image;
    EXPECT_FALSE(DecodeIndexedPng(nullptr, 100, image));
}

TEST(Logo, MissingResourceThrows) {
    try {
        LoadLogo("NOSUCHLOGO");
        FAIL() << "no exception";
    } catch (const SetupError& error) {
        EXPECT_NE(std::string::npos, std::string(error.what()).find("NOSUCHLOGO")) << error.what();
    }
}

}  // namespace
}  // namespace qwp::test
