// The user's choices kept in the registry from one setup run to the next,
// under HKEY_CURRENT_USER, and the command-line option that overrides the
// stored destination folder.
#pragma once

#include "instutils/NetworkFolder.h"
#include "registration/Registry.h"

#include <cstdint>
#include <optional>
#include <string>

namespace qwp {

// Read and written with the same root and key in every kind of run, also
// for all-users and portable installations.
extern const char kInstallKey[];   // "Software\Quilvane Word Processor\Install"
// Opened (and so created) after every read; nothing is stored in it. The
// leading backslash makes it a path from the root, not from the Install key.
extern const char kInternalKey[];  // "\Software\Quilvane Word Processor\Internal"

// Values under the Install key.
extern const char kMainDirValue[];          // "MAINDIR", REG_SZ
extern const char kComponentsValue[];       // "COMPS (1.6.6.2)", REG_DWORD
extern const char kInstallToAllValue[];     // "INSTALLTOALL", REG_DWORD 0/1
extern const char kDesktopShortcutValue[];  // "DSKSHORTCUT", REG_DWORD 0/1
extern const char kExtensionsValue[];       // "EXTENSIONS", REG_SZ
extern const char kLaunchValue[];           // "LAUNCH", REG_DWORD 0/1

// Every component: bits 0 to 30 set, bit 31 clear.
constexpr std::uint32_t kDefaultComponents = 0x7FFFFFFF;
// The folder below Program Files used when no stored folder applies.
extern const char kDefaultFolderName[];  // "Quilvane"

// What a run starts from; the member initialisers are the values used when
// nothing is stored.
struct StoredChoices {
    std::string MainDir;
    std::uint32_t StoredComponents = kDefaultComponents;
    bool InstallToAll = true;
    bool DesktopShortcut = true;
    // Letters A to D (RTF, COD, DOC, DOCX); empty means no association.
    std::string AssociationLetters = "B";
    bool Launch = true;
};

// The folder used when no usable folder is stored: the Program Files folder
// joined with "Quilvane".
std::string DefaultMainDir();

// Whether reading the choices may create their keys. An unattended run
// reads without creating anything, since it may still stop without having
// written a thing, and creates the keys once its install goes ahead.
enum class ChoiceKeys { Created, Untouched };

// Whether a stored folder can hold the installation, beyond the destination
// rules (its paths' lengths): the function, given the context and the
// folder; without a function every folder can.
struct FolderFits {
    bool (*fits)(const void* context, const std::string& folder) = nullptr;
    const void* context = nullptr;
};

// Reads the Install key; an absent value, or one stored with another type,
// takes its default. The folder of the command line's "-d" option, when
// there is one, is taken as given (possibly empty, never checked); else
// MAINDIR, when it names an existing folder the destination rules accept
// and `fits` accepts; else the machine's uninstall entry's InstallLocation,
// on the same condition (not asked again when it is the same text as
// MAINDIR); else DefaultMainDir(). Then (with ChoiceKeys::Created) the
// Internal key is opened, which creates it, as opening the Install key
// creates that one.
// Whether a folder on a share or a remote drive exists is asked as
// `network` says (AskFolder); one that does not answer in time counts as
// missing, and the run log says so in a "Stored folder" line.
// Registry failures only leave defaults.
StoredChoices ReadStoredChoices(const std::optional<std::string>& commandLineFolder,
                                ChoiceKeys keys = ChoiceKeys::Created, const FolderFits& fits = {},
                                const NetworkFolderQuery& network = {});

// Opens, and so creates, the Install and Internal keys, as a read with
// ChoiceKeys::Created does.
void CreateChoiceKeys();

// Opens the Install key from registry's root (whatever key was open before
// is closed first) and writes the six values in the order
// MAINDIR, COMPS (1.6.6.2), INSTALLTOALL, DSKSHORTCUT, EXTENSIONS, LAUNCH.
// The registry is left as it is afterwards, so the caller can go on writing
// with it (the uninstall entry of a non-portable run). False when the key
// could not be opened or a value could not be written.
bool WriteStoredChoices(TRegistry& registry, const StoredChoices& choices);
// The same with a registry object of its own (root HKEY_CURRENT_USER).
bool WriteStoredChoices(const StoredChoices& choices);

}  // namespace qwp
