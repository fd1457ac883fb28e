#include "tests/support/Installation.h"

#include "instutils/PathText.h"
#include "instutils/Paths.h"
#include "registration/UpdateLogMerge.h"
#include "tests/registration/PostInstallTraces.h"
#include "tests/support/RegistryScratch.h"
#include "tests/support/SetupWalk.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Text.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace qwp::test {

std::string DefaultDestination() { return JoinPath(GetSpecialFolder(CSIDL_PROGRAM_FILES), "Quilvane"); }
std::string CommonDataFolder() { return JoinPath(GetSpecialFolder(CSIDL_COMMON_APPDATA), "Quilvane\\"); }
std::string HiddenFolder() { return CommonDataFolder() + "Hidden\\"; }
std::string PublicFolder() { return CommonDataFolder() + "Public\\"; }
std::string SpellingFolder() { return PublicFolder() + "Spellcheck\\"; }
std::string UserDataFolder() { return JoinPath(GetSpecialFolder(CSIDL_APPDATA), "Quilvane\\"); }

void RemoveInstallation() {
    CloseStandInWindows();
    RemoveShortcuts();
    DeleteUninstallEntry();
    RemoveTree(DefaultDestination() + "\\");
    RemoveTree(CommonDataFolder());
    RemoveTree(UserDataFolder());
    RegDeleteTreeA(HKEY_CURRENT_USER, kProductKey);
}

std::vector<std::string> TracesOfInstallation(const std::string& mainDir) {
    std::vector<std::string> found;
    if (FolderExists(mainDir)) found.push_back("destination " + mainDir);
    if (FolderExists(CommonDataFolder())) found.push_back("common data folder " + CommonDataFolder());
    if (FolderExists(UserDataFolder())) found.push_back("user data folder " + UserDataFolder());
    if (KeyExists(kProductKey)) found.push_back(std::string("HKCU\\") + kProductKey);
    if (UninstallEntryValue("UninstallString") != "absent") found.push_back("uninstall entry");
    for (const std::string& place : ShortcutPlaces())
        if (PathPresent(place)) found.push_back("shortcut " + place);
    return found;
}

void ListFilesBelow(const std::string& folder, std::vector<std::string>& files, const std::string& prefix) {
    for (const std::string& name : Entries(folder)) {
        const std::string path = folder + name;
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            ListFilesBelow(path + "\\", files, prefix + name + "\\");
        else
            files.push_back(prefix + name);
    }
}

std::string FilesBelow(const std::string& folder) {
    if (!FolderExists(folder)) return "(no folder)";
    std::vector<std::string> files;
    ListFilesBelow(JoinPath(folder, ""), files);
    return Joined(files, "|");
}

std::string DwordText(DWORD value) {
    char text[32];
    std::snprintf(text, sizeof text, "REG_DWORD:0x%08lX", static_cast<unsigned long>(value));
    return text;
}

std::string StoredValue(const char* name) {
    const std::optional<RawValue> value = ReadRawValue(kInstallKey, name);
    if (!value) return "absent";
    if (value->type == REG_DWORD && value->data.size() == sizeof(DWORD)) {
        DWORD number = 0;
        std::memcpy(&number, value->data.data(), sizeof number);
        return DwordText(number);
    }
    // The text up to its first NUL, as the setup reads it back.
    if (value->type == REG_SZ) return "REG_SZ:" + std::string(value->data.c_str());
    return "type " + std::to_string(value->type) + ", " + std::to_string(value->data.size()) + " bytes";
}

DWORD StoredDword(const char* name) { return ReadDwordValue(kInstallKey, name).value_or(0xDEADBEEF); }

void ExpectDefaultChoicesStored(const std::string& mainDir, DWORD launch) {
    EXPECT_EQ(Lower(StoredValue("MAINDIR")), Lower("REG_SZ:" + mainDir));
    EXPECT_EQ(StoredValue("COMPS (1.6.6.2)"), "REG_DWORD:0x7FFFFFFE");
    EXPECT_EQ(StoredValue("INSTALLTOALL"), "REG_DWORD:0x00000001");
    EXPECT_EQ(StoredValue("DSKSHORTCUT"), "REG_DWORD:0x00000001");
    EXPECT_EQ(StoredValue("EXTENSIONS"), "REG_SZ:B");
    EXPECT_EQ(StoredValue("LAUNCH"), DwordText(launch));
}

std::string MadeDirLine(const std::string& folder) { return "Made Dir: " + folder + "\r\n"; }
std::string FileCopyLine(const std::string& path) { return "File Copy: " + path + "\r\n"; }

std::string FoldersMadeLog(const std::string& mainDir) {
    return MadeDirLine(CommonDataFolder()) + MadeDirLine(PublicFolder()) + MadeDirLine(SpellingFolder()) +
           MadeDirLine(HiddenFolder()) + MadeDirLine(JoinPath(mainDir, ""));
}

std::string WordProcessorCopiesLog(const std::string& mainDir) {
    return FileCopyLine(JoinPath(mainDir, "qwp.exe")) + FileCopyLine(JoinPath(mainDir, "License.txt"));
}

std::string ExpectedInstallLog(const std::string& mainDir) {
    const std::vector<std::string> shortcuts = ShortcutPlaces();
    return FoldersMadeLog(mainDir) + WordProcessorCopiesLog(mainDir) +
           FileCopyLine(JoinPath(mainDir, "Hyphenation.dat")) + FileCopyLine(PublicFolder() + "Basic.asn") +
           FileCopyLine(shortcuts[0]) + FileCopyLine(shortcuts[2]);
}

void ExpectOneUpdateBlock(const std::set<std::string>& expected) {
    const std::vector<std::string> update = LinesOf(ReadWholeFile(CommonDataFolder() + "Update.log"));
    ASSERT_FALSE(update.empty()) << "no Update.log";
    EXPECT_EQ(std::count_if(update.begin(), update.end(), IsStampLine), 1);
    const std::string stampBytes = ReadWholeFile(HiddenFolder() + "install_stamp");
    ASSERT_EQ(stampBytes.size(), 8u);
    double stamp = 0.0;
    std::memcpy(&stamp, stampBytes.data(), 8);
    EXPECT_EQ(update[0], UpdateLogStampLine(stamp));
    std::set<std::string> listed;
    for (std::size_t i = 1; i < update.size(); ++i) {
        std::string path = update[i];
        if (path.size() > 2 && path.compare(path.size() - 2, 2, "\t!") == 0) path.resize(path.size() - 2);
        EXPECT_TRUE(listed.insert(Lower(path)).second) << "Update.log twice: " << update[i];
    }
    EXPECT_EQ(listed, expected);
}

void NoInstallationTest::SetUp() {
    RemoveInstallation();
    ASSERT_EQ(Joined(TracesOfInstallation(DefaultDestination()), "; "), "")
        << "an earlier installation could not be removed";
}

void NoInstallationTest::TearDown() { RemoveInstallation(); }

}  // namespace qwp::test
