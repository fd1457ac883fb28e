// The machine-wide uninstall entry of a normal installation, so the
// system's program list shows the word processor with its size and can start
// its removal ("qwp.exe" -ui).
#pragma once

#include "registration/Registry.h"

#include <cstdint>
#include <optional>
#include <string>

namespace qwp {

// Below HKEY_LOCAL_MACHINE. A 32-bit program on 64-bit Windows writes it to
// the 32-bit view (Wow6432Node), where the system lists 32-bit programs.
extern const char kUninstallKey[];  // "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quilvane Word Processor"

extern const char kDisplayIconValue[];      // "DisplayIcon", REG_SZ
extern const char kDisplayNameValue[];      // "DisplayName", REG_SZ
extern const char kDisplayVersionValue[];   // "DisplayVersion", REG_SZ
extern const char kEstimatedSizeValue[];    // "EstimatedSize", REG_DWORD, kilobytes
extern const char kPublisherValue[];        // "Publisher", REG_SZ
extern const char kUninstallStringValue[];  // "UninstallString", REG_SZ
extern const char kInstallLocationValue[];  // "InstallLocation", REG_SZ, the destination folder
extern const char kInstallDateValue[];      // "InstallDate", REG_SZ, yyyymmdd
extern const char kNoModifyValue[];         // "NoModify", REG_DWORD 1
extern const char kNoRepairValue[];         // "NoRepair", REG_DWORD 1

extern const char kUninstallDisplayName[];     // "Quilvane Word Processor"
extern const char kUninstallDisplayVersion[];  // "4.0.6.7"
extern const char kUninstallPublisher[];       // "The Quilvane Word Processor Team"

// The kilobytes that the files below the folder take on a volume with this
// cluster size: each file rounded up to whole clusters, then divided by 1024
// (truncating) on its own. Hidden and system files and sub-folders count;
// links and junctions are not followed, and a name that leads outside its
// folder counts nothing. A file that cannot be opened counts one cluster; a
// folder that cannot be listed counts 0. Sizes are added in 64 bits, and a
// total beyond what a DWORD holds gives 0xFFFFFFFF. A cluster size below 1
// is taken as 1.
std::uint32_t FolderSizeKB(const std::string& folder, std::int32_t clusterSize);

// Switches the registry to HKEY_LOCAL_MACHINE (closing whatever key was
// open), opens the Uninstall key and writes DisplayIcon, DisplayName,
// DisplayVersion, EstimatedSize (the destination's size on its volume's
// cluster size, taken once), Publisher, UninstallString, InstallLocation,
// InstallDate, NoModify and NoRepair, in that order.
// False when the key could not be opened or a value could not be written.
bool WriteUninstallEntry(TRegistry& registry, const std::string& mainDir);

// The InstallLocation of the machine's uninstall entry, whoever installed
// it; nullopt when there is no entry or no such text. Creates nothing.
std::optional<std::string> RecordedInstallLocation();

}  // namespace qwp
