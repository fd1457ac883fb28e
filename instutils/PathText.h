// Path texts as plain strings: 8-bit ANSI Windows paths with backslashes.
// Nothing here touches the file system or needs the Windows API, so these
// also build natively for the host tests.
//
// In the double-byte code pages (932, 936, 949, 950) a character may take
// two bytes, and its second byte may be a '\' or a '|' (Shift-JIS writes
// the kanji U+8868 as 0x95 0x5C). Every helper here walks a text character
// by character in the code page it is given, so such a byte is never taken
// for a separator. The code page defaults to the process's (ProcessCodePage).
#pragma once

#include <cstddef>
#include <string>

namespace qwp {

// What the path texts need to know of the ANSI code page they are written
// in, as data.
struct AnsiCodePage {
    // The bytes that begin a two-byte character; none in a single-byte code
    // page. A lead byte takes the byte after it, whatever that is; one at
    // the very end of a text stands alone.
    bool lead[256] = {};
    // Superscript one, two and three as the code page writes them (one or
    // two bytes, NUL-terminated); empty where it has no such character.
    // Windows takes COM and LPT followed by one of them for devices too.
    char superscripts[3][3] = {};

    bool IsLead(char c) const { return lead[static_cast<unsigned char>(c)]; }
};

namespace detail {
extern AnsiCodePage processCodePage;
}  // namespace detail

// The code page the helpers below read texts in when none is given: a
// single-byte one until SetProcessCodePage is called. The setup sets it at
// its start to the system's ANSI code page.
inline const AnsiCodePage& ProcessCodePage() { return detail::processCodePage; }
void SetProcessCodePage(const AnsiCodePage& codePage);

// Where the character after the one starting at byte `at` starts.
std::size_t NextCharAt(const std::string& text, std::size_t at, const AnsiCodePage& codePage = ProcessCodePage());
// The first byte position from `from` (where a character starts) at which
// a character of `set` (ASCII characters) stands; npos when there is none.
std::size_t FindCharOf(const std::string& text, const char* set, std::size_t from = 0,
                       const AnsiCodePage& codePage = ProcessCodePage());
// The same for the last one.
std::size_t FindLastCharOf(const std::string& text, const char* set, const AnsiCodePage& codePage = ProcessCodePage());
// Where the last character starts; npos for the empty text.
std::size_t LastCharAt(const std::string& text, const AnsiCodePage& codePage = ProcessCodePage());
// The number of characters: a two-byte character counts once, as it does
// when Windows turns the text into UTF-16 and holds it to MAX_PATH.
std::size_t CharCount(const std::string& text, const AnsiCodePage& codePage = ProcessCodePage());

// Makes a folder text: a trailing slash or backslash becomes one backslash,
// anything else gets one appended. The empty text stays empty. Only the last
// character is looked at, so "C:\A\\" keeps its doubled backslash.
void AddTrailingBackslash(std::string& path, const AnsiCodePage& codePage = ProcessCodePage());

// The folder with AddTrailingBackslash applied, then the name; an empty
// folder gives the name alone.
std::string JoinPath(std::string folder, const std::string& name, const AnsiCodePage& codePage = ProcessCodePage());

// The last character when it is a single byte; the first byte of a
// two-byte one (never an ASCII character); '\0' for the empty text.
char LastChar(const std::string& text, const AnsiCodePage& codePage = ProcessCodePage());

// Remove one character, one or two bytes, at either end; the empty text
// stays empty.
void DeleteFirstChar(std::string& text, const AnsiCodePage& codePage = ProcessCodePage());
void DeleteLastChar(std::string& text, const AnsiCodePage& codePage = ProcessCodePage());

// Everything up to and including the last backslash or colon ("C:\A\" for
// "C:\A\b.txt", "X:" for "X:b"); the empty text when there is neither.
std::string FolderPart(const std::string& path, const AnsiCodePage& codePage = ProcessCodePage());

// The drive of a path: "C:" for "C:\x" (the first two characters when the
// second is a colon); "\\server\share" for a UNC path (up to, not including,
// the backslash after the share name, or the whole text when there is none);
// otherwise the empty text.
std::string DrivePart(const std::string& path, const AnsiCodePage& codePage = ProcessCodePage());

}  // namespace qwp
