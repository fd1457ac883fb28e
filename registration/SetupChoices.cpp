#include "registration/SetupChoices.h"

#include "instutils/PathText.h"
#include "instutils/Paths.h"

#include <cstdlib>

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

}  // namespace

std::vector<std::string> ProgramArguments() {
    // The C runtime splits the command line once at start-up, for WinMain
    // programs as well; quotes are already removed.
    std::vector<std::string> args;
    if (!__argv) return args;
    for (int i = 1; i < __argc && __argv[i]; ++i) args.emplace_back(__argv[i]);
    return args;
}

bool DestDirFromCommandLine(const std::vector<std::string>& args, std::string& folder) {
    if (args.empty() || args[0].compare(0, 2, "-d") != 0) return false;
    folder = args[0].substr(2);
    return true;
}

std::string DefaultMainDir() {
    return JoinPath(GetSpecialFolder(kCsidlProgramFiles), kDefaultFolderName);
}

StoredChoices ReadStoredChoices(const std::vector<std::string>& args, ChoiceKeys keys) {
    StoredChoices choices;
    TRegistry registry;
    if (keys == ChoiceKeys::Created)
        registry.OpenKey(kInstallKey);
    else
        registry.OpenKeyReadOnly(kInstallKey);

    choices.MainDir = registry.ReadString(kMainDirValue).value_or(std::string());
    if (choices.MainDir.empty() || !FolderExists(choices.MainDir)) choices.MainDir = DefaultMainDir();
    DestDirFromCommandLine(args, choices.MainDir);

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

std::vector<int> ComponentRowStates(std::uint32_t stored) {
    constexpr int kUnchecked = 0, kChecked = 1, kGreyed = 2;
    std::vector<int> states;
    for (int bit = 0; bit < kComponentBitCount; ++bit)
        states.push_back(bit == 0 ? kGreyed : ((stored >> bit) & 1u) ? kChecked : kUnchecked);
    return states;
}

std::uint32_t MergeComponentBits(std::uint32_t stored, const std::vector<int>& rowStates) {
    constexpr int kChecked = 1;
    std::uint32_t merged = stored;
    for (int bit = 0; bit < kComponentBitCount; ++bit) {
        const std::uint32_t mask = std::uint32_t{1} << bit;
        const bool checked = bit < static_cast<int>(rowStates.size()) && rowStates[bit] == kChecked;
        merged = checked ? (merged | mask) : (merged & ~mask);
    }
    return merged;
}

void WriteStoredChoices(TRegistry& registry, const StoredChoices& choices) {
    // The key path has no leading backslash: with a key already open it
    // would be taken below that key.
    registry.CloseKey();
    registry.OpenKey(kInstallKey);
    registry.WriteString(kMainDirValue, choices.MainDir);
    registry.WriteInteger(kComponentsValue, choices.StoredComponents);
    registry.WriteBool(kInstallToAllValue, choices.InstallToAll);
    registry.WriteBool(kDesktopShortcutValue, choices.DesktopShortcut);
    registry.WriteString(kExtensionsValue, choices.AssociationLetters);
    registry.WriteBool(kLaunchValue, choices.Launch);
}

void WriteStoredChoices(const StoredChoices& choices) {
    TRegistry registry;
    WriteStoredChoices(registry, choices);
}

}  // namespace qwp
