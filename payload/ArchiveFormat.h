// The inflated payload: a plain run of entries with no header, count, index
// or trailer. Each entry is
//
//   offset 0      1 byte           name length L (0 to 255)
//   offset 1      L bytes          name, 8-bit ANSI, backslash separators
//   offset L+1    8 bytes          time stamp, IEEE-754 double, little-endian,
//                                  days since 1899-12-30 in local time
//   offset L+9    4 bytes          size N, unsigned little-endian
//   offset L+13   N bytes          data
//
// The next entry starts right after the data. This file knows the layout for
// both directions (the reader in the setup and the packer on the build host)
// and needs no Windows API.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qwp::archive {

constexpr std::size_t kMaxNameLength = 255;
constexpr std::size_t kEntryFixedBytes = 1 + 8 + 4;

struct EntryRecord {
    std::string name;
    double date = 0.0;
    std::int32_t size = 0;
    std::int32_t offset = 0;  // of the first data byte within the whole payload
};

// Why a payload was refused. Each cause is distinct so a test (and a person
// with a debugger) can tell them apart; the user sees one message for all.
enum class ParseError {
    None,
    TruncatedName,  // the name runs past the end of the buffer
    TruncatedDate,  // the time stamp runs past the end
    TruncatedSize,  // the size field runs past the end
    TruncatedData,  // the data runs past the end
    UnsafeName,     // a name Windows would not store as given, or one that escapes its folder
    TooLarge,       // the payload or an entry does not fit the 32-bit fields
};

const char* DescribeParseError(ParseError error);

struct ParseResult {
    ParseError error = ParseError::None;
    std::size_t errorOffset = 0;  // where the offending entry starts
    std::vector<EntryRecord> entries;  // empty whenever error is not None
};

// Splits an inflated payload into its entries. Trusts no field: every length
// is checked against the bytes left, so a damaged payload gives an error and
// never a partial list.
ParseResult ParseArchive(const std::uint8_t* data, std::size_t size);

// True for the empty name and for a relative path that Windows stores exactly
// as written and that stays inside the folder it is installed in: backslash
// separators only, no leading one, no drive or colon, no empty, "." or ".." component, no component
// ending in a dot or blank, no device name (CON, NUL, COM1 ...) with or
// without an extension, no control character and none of < > " | ? *.
bool IsSafeEntryName(std::string_view name);

// Appends one entry in the layout above. The caller has checked the name.
void AppendEntry(std::vector<std::uint8_t>& out, std::string_view name, double date,
                 const std::uint8_t* data, std::size_t size);

}  // namespace qwp::archive
