// Whether the installed word processor is running: its main window carries
// a window property of a fixed name.
#pragma once

namespace qwp {

// "1.x Sorvelin", looked up by name as an 8-bit text.
extern const char RunningInstanceProperty[];

// True when any top-level window of the desktop, visible or not, carries the
// property with a non-zero value. Each call enumerates the windows anew.
bool IsWordProcessorRunning();

}  // namespace qwp
