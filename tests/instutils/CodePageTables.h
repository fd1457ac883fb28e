// The ANSI code pages the path tests read texts in, as Windows describes
// them: the lead-byte ranges GetCPInfo gives and the bytes that
// WideCharToMultiByte writes for U+00B9, U+00B2 and U+00B3.
#pragma once

#include "instutils/PathText.h"

#include <cstring>

namespace qwp::test {

inline AnsiCodePage WithLeadBytes(AnsiCodePage codePage, unsigned first, unsigned last) {
    for (unsigned byte = first; byte <= last; ++byte) codePage.lead[byte] = true;
    return codePage;
}

inline AnsiCodePage WithSuperscripts(AnsiCodePage codePage, const char* one, const char* two, const char* three) {
    std::strcpy(codePage.superscripts[0], one);
    std::strcpy(codePage.superscripts[1], two);
    std::strcpy(codePage.superscripts[2], three);
    return codePage;
}

// Western European: one byte per character, the superscripts at 0xB9, 0xB2
// and 0xB3.
inline AnsiCodePage Windows1252() { return WithSuperscripts({}, "\xB9", "\xB2", "\xB3"); }

// Japanese (Shift-JIS): lead bytes 0x81 to 0x9F and 0xE0 to 0xFC, no
// superscripts (0xB9 is a half-width katakana there).
inline AnsiCodePage ShiftJis() { return WithLeadBytes(WithLeadBytes({}, 0x81, 0x9F), 0xE0, 0xFC); }

// Korean: lead bytes 0x81 to 0xFE, the superscripts as two bytes each.
inline AnsiCodePage Korean() {
    return WithSuperscripts(WithLeadBytes({}, 0x81, 0xFE), "\xA9\xF6", "\xA9\xF7", "\xA9\xF8");
}

// Shift-JIS names whose second bytes are a backslash or a bar.
constexpr char kPortable[] = "\x83\x7C\x81\x5B\x83\x5E\x83\x75\x83\x8B";  // U+30DD U+30FC U+30BF U+30D6 U+30EB
constexpr char kPresentation[] = "\x94\xAD\x95\x5C";                        // U+767A U+8868
constexpr char kTable[] = "\x95\x5C";                                       // U+8868

}  // namespace qwp::test
