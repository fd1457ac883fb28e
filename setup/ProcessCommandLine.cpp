#include "setup/ProcessCommandLine.h"

#include <windows.h>

namespace qwp {

namespace {

// The UTF-16 text in the ANSI code page without best fit: each character
// with no exact form there becomes kNoAnsiForm. Where the code page is
// UTF-8, every character has its form and no default character may be
// given.
std::string ToAnsiMarkingTheRest(const wchar_t* wide) {
    static const char marker[] = {kNoAnsiForm, '\0'};
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* defaultChar = utf8 ? nullptr : marker;
    const int bytes = WideCharToMultiByte(CP_ACP, flags, wide, -1, nullptr, 0, defaultChar, nullptr);
    if (bytes <= 1) return std::string();
    std::string ansi(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, flags, wide, -1, &ansi[0], bytes, defaultChar, nullptr);
    ansi.pop_back();  // the terminating NUL
    return ansi;
}

}  // namespace

SetupOptions ReadProcessCommandLine() {
    const wchar_t* wide = GetCommandLineW();
    return ParseCommandLine(wide ? ToAnsiMarkingTheRest(wide) : std::string());
}

}  // namespace qwp
