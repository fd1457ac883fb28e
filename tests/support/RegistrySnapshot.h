// A registry key with everything below it as text, to compare what a run
// of the setup left with what was there before.
#pragma once

#include <windows.h>

#include <string>

namespace qwp::test {

// One line per key ("path") and per value ("path: name = type:data", text
// as it is, other data in hex), keys and values in the order the registry
// lists them; "(absent)" when the key cannot be opened. view is 0 or
// KEY_WOW64_32KEY / KEY_WOW64_64KEY.
std::string RegistrySnapshot(HKEY root, const std::string& path, REGSAM view = 0);

// The machine's whole list of uninstall entries, in both registry views.
std::string UninstallSnapshot();

}  // namespace qwp::test
