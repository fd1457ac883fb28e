#include "payload/ArchiveFormat.h"

#include <cstring>
#include <limits>

namespace qwp::archive {
namespace {

constexpr std::size_t kMaxPayloadBytes = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

std::uint32_t ReadUInt32LE(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

double ReadDoubleLE(const std::uint8_t* p) {
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = bits << 8 | p[i];
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void WriteDoubleLE(std::vector<std::uint8_t>& out, double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}

char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (ToUpperAscii(a[i]) != ToUpperAscii(b[i])) return false;
    return true;
}

// Windows maps these names to devices in every folder, whatever extension
// follows and ignoring blanks before the extension.
bool IsDeviceName(std::string_view component) {
    std::string_view base = component.substr(0, component.find('.'));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
    for (const char* device : kDevices)
        if (EqualsIgnoringAsciiCase(base, device)) return true;
    // COM1 to COM9 and LPT1 to LPT9, and with the superscript digits 1, 2
    // and 3 of the ANSI code page.
    const auto digit = static_cast<unsigned char>(base.size() == 4 ? base[3] : 0);
    const bool portNumber = (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
    if (portNumber)
        return EqualsIgnoringAsciiCase(base.substr(0, 3), "COM") ||
               EqualsIgnoringAsciiCase(base.substr(0, 3), "LPT");
    return false;
}

// Inline, not a library call per character: every name of the payload
// passes here while the catalogue is built.
bool IsForbiddenChar(unsigned char c) {
    switch (c) {
        case '<': case '>': case ':': case '"': case '|': case '?': case '*': case 127: return true;
        default: return c < 32;
    }
}

bool IsSafeComponent(std::string_view component) {
    if (component.empty() || component == "." || component == "..") return false;
    if (component.back() == '.' || component.back() == ' ') return false;
    for (unsigned char c : component)
        if (IsForbiddenChar(c)) return false;
    return !IsDeviceName(component);
}

}  // namespace

const char* DescribeParseError(ParseError error) {
    switch (error) {
        case ParseError::None: return "no error";
        case ParseError::TruncatedName: return "entry name runs past the end of the payload";
        case ParseError::TruncatedDate: return "entry time stamp runs past the end of the payload";
        case ParseError::TruncatedSize: return "entry size runs past the end of the payload";
        case ParseError::TruncatedData: return "entry data runs past the end of the payload";
        case ParseError::UnsafeName: return "entry name is not a safe relative path";
        case ParseError::TooLarge: return "payload too large for its 32-bit fields";
    }
    return "unknown error";
}

bool IsSafeEntryName(std::string_view name) {
    if (name.empty()) return true;
    // Windows would store a slash as a backslash: the name would not be the
    // one the plan's folder prefixes and the folder creation work with.
    if (name.find('/') != std::string_view::npos) return false;
    std::size_t start = 0;
    while (true) {
        std::size_t end = name.find('\\', start);
        std::string_view component = name.substr(start, end == std::string_view::npos ? end : end - start);
        if (!IsSafeComponent(component)) return false;
        if (end == std::string_view::npos) return true;
        start = end + 1;
    }
}

ParseResult ParseArchive(const std::uint8_t* data, std::size_t size) {
    ParseResult result;
    auto fail = [&result](ParseError error, std::size_t at) {
        result.entries.clear();
        result.error = error;
        result.errorOffset = at;
        return result;
    };
    if (size > kMaxPayloadBytes) return fail(ParseError::TooLarge, 0);

    std::size_t pos = 0;
    while (pos < size) {
        const std::size_t entryStart = pos;
        // Every test below compares a length with the bytes left, so no
        // field value can overflow the position.
        const std::size_t nameLength = data[pos];
        pos += 1;
        if (nameLength > size - pos) return fail(ParseError::TruncatedName, entryStart);
        EntryRecord entry;
        entry.name.assign(reinterpret_cast<const char*>(data + pos), nameLength);
        pos += nameLength;
        if (size - pos < 8) return fail(ParseError::TruncatedDate, entryStart);
        entry.date = ReadDoubleLE(data + pos);
        pos += 8;
        if (size - pos < 4) return fail(ParseError::TruncatedSize, entryStart);
        const std::uint32_t dataSize = ReadUInt32LE(data + pos);
        pos += 4;
        if (dataSize > size - pos) return fail(ParseError::TruncatedData, entryStart);
        if (!IsSafeEntryName(entry.name)) return fail(ParseError::UnsafeName, entryStart);
        entry.size = static_cast<std::int32_t>(dataSize);  // <= size - pos <= INT32_MAX
        entry.offset = static_cast<std::int32_t>(pos);
        pos += dataSize;
        result.entries.push_back(std::move(entry));
    }
    return result;
}

void AppendEntry(std::vector<std::uint8_t>& out, std::string_view name, double date,
                 const std::uint8_t* data, std::size_t size) {
    out.push_back(static_cast<std::uint8_t>(name.size()));
    out.insert(out.end(), name.begin(), name.end());
    WriteDoubleLE(out, date);
    const auto n = static_cast<std::uint32_t>(size);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(n >> (8 * i)));
    if (size) out.insert(out.end(), data, data + size);
}

}  // namespace qwp::archive
