// What an installation of the product leaves outside a test's own folders,
// and the means to look at it and take it away: the destination and the
// data folders, the stored choices, the lines Install.log and Update.log
// must hold, and a fixture for tests that start from no installation.
//
// The Wine prefix is shared by every test program of a run and by both
// architectures, so a test that runs the real setup removes all of this
// before and after it runs.
//
// The shortcut places come from the registration library: the test programs
// that use this file link the setup's libraries.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace qwp::test {

// Where an installation with no stored choices puts things. The
// destination has no trailing backslash, the data folders have one.
std::string DefaultDestination();
std::string CommonDataFolder();
std::string HiddenFolder();
std::string PublicFolder();
std::string SpellingFolder();
std::string UserDataFolder();

// Everything an installation into the default destination leaves: running
// stand-in word processors (one launched by Finish holds its folder), the
// shortcuts, the uninstall entry, the folders and the product's key.
void RemoveInstallation();

// What of an installation into mainDir exists, by name; empty when there is
// nothing at all.
std::vector<std::string> TracesOfInstallation(const std::string& mainDir);

// Every file below a folder (a folder text), each as prefix + its path
// relative to the folder, in name order folder by folder. With the folder
// itself as the prefix the paths are full ones.
void ListFilesBelow(const std::string& folder, std::vector<std::string>& files, const std::string& prefix = {});
// The files below a folder as "a|b|sub\c"; "(no folder)" when it is missing.
std::string FilesBelow(const std::string& folder);

// A value as StoredValue shows a REG_DWORD: "REG_DWORD:0x0000002A".
std::string DwordText(DWORD value);
// A stored choice below the Install key of HKEY_CURRENT_USER as
// "REG_DWORD:0x..." or "REG_SZ:text", another type as "type N, M bytes";
// "absent" when missing.
std::string StoredValue(const char* name);
// A stored REG_DWORD choice; 0xDEADBEEF when it is missing or of another type.
DWORD StoredDword(const char* name);
// The six choices a run with every default stores, the folder mainDir
// (compared without case) and LAUNCH as given.
void ExpectDefaultChoicesStored(const std::string& mainDir, DWORD launch = 1);

// Lines of Install.log, each with its CR LF.
std::string MadeDirLine(const std::string& folder);
std::string FileCopyLine(const std::string& path);
// The folders a first installation into mainDir makes while logging is on:
// the common data folder, Public, the spelling folder, Hidden, mainDir.
std::string FoldersMadeLog(const std::string& mainDir);
// The first logged copies of every installation: the word processor and
// its licence in mainDir.
std::string WordProcessorCopiesLog(const std::string& mainDir);
// Install.log after an installation with every component and both
// all-users shortcuts into mainDir, when neither it nor the common data
// folder existed before: the folders made, then the logged copies in the
// order they were made.
std::string ExpectedInstallLog(const std::string& mainDir);

// Update.log of the common data folder holds one block: a single stamp line,
// first, that of the install_stamp file, then every path expected (lower
// case) once, with or without its "\t!" mark.
void ExpectOneUpdateBlock(const std::set<std::string>& expected);

// A test that starts from no installation at all and leaves none.
class NoInstallationTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace qwp::test
