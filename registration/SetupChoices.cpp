#include "registration/SetupChoices.h"

#include "instutils/DestinationRules.h"
#include "instutils/PathText.h"
#include "instutils/Paths.h"
#include "instutils/RunLog.h"
#include "registration/UninstallEntry.h"

namespace qwp {

const char kInstallKey[] = "Software\\Quilvane Word Processor\\Install";
const char kInternalKey[] = "\\Software\\Quilvane Word Processor\\Internal";

const char kMainDirValue[] = "MAINDIR";
const char kComponentsValue[] = "COMPS (1.6.6.2)";
const char kInstallToAllValue[] = "INSTALLTOALL";
const char kDesktopShortcutValue[] = "DSKSHORTCUT";
const char kExtensionsValue[] = "EXTENSIONS";
const char kLaunchValue[] = "LAUNCH";

const char kDefaultFolderName[] = "Quilvane";

namespace {

constexpr std::int32_t kCsidlProgramFiles = 0x0026;

// "3 s", or "300 ms" for a time-out that is no whole number of seconds.
std::string WaitText(unsigned long milliseconds) {
    return milliseconds % 1000 == 0 ? std::to_string(milliseconds / 1000) + " s"
                                    : std::to_string(milliseconds) + " ms";
}

// A stored folder the setup can install into again: an existing folder that
// the destination rules accept and that can hold the installation. Whether
// it exists is asked last, as only that may have to wait for the network.
bool IsUsableFolder(const std::optional<std::string>& folder, const FolderFits& fits,
                    const NetworkFolderQuery& network) {
    if (!folder || folder->empty() || DrivePart(*folder).empty() ||
        CheckDestination(*folder).fault != DestinationFault::None || (fits.fits && !fits.fits(fits.context, *folder)))
        return false;
    const FolderAnswer answer = AskFolder(*folder, network);
    if (answer == FolderAnswer::NoAnswer)
        RunLogLine("Stored folder", *folder + " did not answer within " + WaitText(network.milliseconds) +
                                        "; passed over");
    return answer == FolderAnswer::Exists;
}

// Where an earlier installation went: this user's stored folder, else the
// folder the machine's uninstall entry names (an installation made by
// another account, a deployment tool running as the system among them).
// The entry naming the user's folder again is not asked again: the answer
// would be the same, after another wait when its server does not answer.
std::optional<std::string> EarlierFolder(const std::optional<std::string>& stored, const FolderFits& fits,
                                         const NetworkFolderQuery& network) {
    if (IsUsableFolder(stored, fits, network)) return stored;
    const std::optional<std::string> recorded = RecordedInstallLocation();
    if (recorded && stored && SameName(*recorded, *stored)) return std::nullopt;
    if (IsUsableFolder(recorded, fits, network)) return recorded;
    return std::nullopt;
}

}  // namespace

std::string DefaultMainDir() {
    return JoinPath(GetSpecialFolder(kCsidlProgramFiles), kDefaultFolderName);
}

StoredChoices ReadStoredChoices(const std::optional<std::string>& commandLineFolder, ChoiceKeys keys,
                                const FolderFits& fits, const NetworkFolderQuery& network) {
    StoredChoices choices;
    TRegistry registry;
    if (keys == ChoiceKeys::Created)
        registry.OpenKey(kInstallKey);
    else
        registry.OpenKeyReadOnly(kInstallKey);

    if (commandLineFolder)
        choices.MainDir = *commandLineFolder;
    else
        choices.MainDir = EarlierFolder(registry.ReadString(kMainDirValue), fits, network).value_or(DefaultMainDir());

    choices.StoredComponents = registry.ReadInteger(kComponentsValue).value_or(choices.StoredComponents);
    choices.InstallToAll = registry.ReadBool(kInstallToAllValue).value_or(choices.InstallToAll);
    choices.DesktopShortcut = registry.ReadBool(kDesktopShortcutValue).value_or(choices.DesktopShortcut);
    // An empty stored text is kept: it means no association at all.
    choices.AssociationLetters = registry.ReadString(kExtensionsValue).value_or(choices.AssociationLetters);
    choices.Launch = registry.ReadBool(kLaunchValue).value_or(choices.Launch);

    if (keys == ChoiceKeys::Created) registry.OpenKey(kInternalKey);
    return choices;
}

void CreateChoiceKeys() {
    TRegistry registry;
    registry.OpenKey(kInstallKey);
    registry.OpenKey(kInternalKey);
}

bool WriteStoredChoices(TRegistry& registry, const StoredChoices& choices) {
    // The key path has no leading backslash: with a key already open it
    // would be taken below that key.
    registry.CloseKey();
    // Every value is attempted, even after one has failed.
    bool ok = registry.OpenKey(kInstallKey);
    ok = registry.WriteString(kMainDirValue, choices.MainDir) && ok;
    ok = registry.WriteInteger(kComponentsValue, choices.StoredComponents) && ok;
    ok = registry.WriteBool(kInstallToAllValue, choices.InstallToAll) && ok;
    ok = registry.WriteBool(kDesktopShortcutValue, choices.DesktopShortcut) && ok;
    ok = registry.WriteString(kExtensionsValue, choices.AssociationLetters) && ok;
    ok = registry.WriteBool(kLaunchValue, choices.Launch) && ok;
    return ok;
}

bool WriteStoredChoices(const StoredChoices& choices) {
    TRegistry registry;
    return WriteStoredChoices(registry, choices);
}

}  // namespace qwp
