// The system's ANSI code page, as the path texts need it (see
// instutils/PathText.h), read from Windows.
#pragma once

namespace qwp {

// Makes the path texts of the process read in the system's ANSI code page:
// its lead-byte ranges, and how it writes superscript one, two and three,
// if at all (without best fit: a "1" for a superscript one would make
// "COM1" of a name that is no device). The setup calls it at its start,
// before any thread of its own, and every session again, on the thread
// that made it.
void UseSystemCodePage();

}  // namespace qwp
