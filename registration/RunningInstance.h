// Whether the installed word processor is running: its main window carries
// a window property of a fixed name, or its program file in the destination
// is held open where its windows cannot be seen.
#pragma once

#include <string>

namespace qwp {

// "1.x Sorvelin", looked up by name as an 8-bit text.
extern const char RunningInstanceProperty[];

// True when any top-level window of the desktop, visible or not, carries the
// property with a non-zero value. Each call enumerates the windows anew.
bool IsWordProcessorRunning();

// True when the destination's qwp.exe exists and cannot be opened for
// writing because another process holds it (a sharing violation): a word
// processor running in another session or under another account, whose
// windows this desktop does not show. Copying over it would fail half way
// and leave old and new files mixed. A missing file, or one that cannot
// be opened for another reason, is not held.
bool IsWordProcessorHeld(const std::string& mainDir);

// Either of the two above.
bool IsWordProcessorInUse(const std::string& mainDir);

}  // namespace qwp
