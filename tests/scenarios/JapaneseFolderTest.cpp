// Folders named with two-byte characters whose second byte is a backslash
// or a bar, under Japanese Windows (ANSI code page 932), given to an
// unattended run: the run installs exactly into the folder named, and the
// next run without a folder takes the stored one again.
#include "tests/scenarios/UnattendedScenario.h"

namespace qwp::test::unattended {
namespace {

// The text in this process's ANSI code page; empty when it has no such form.
std::string Ansi(const std::wstring& wide) {
    char text[MAX_PATH] = {};
    BOOL defaulted = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, text, sizeof text,
                                           nullptr, &defaulted);
    return length > 0 && !defaulted ? std::string(text) : std::string();
}

bool WideFileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

using JapaneseFolder = UnattendedTest;

TEST_F(JapaneseFolder, InstallsExactlyIntoTheFolderNamedAndTakesItAgain) {
    if (GetACP() != 932)
        GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 932: run under a Japanese locale "
                     << "(LANG=ja_JP.UTF-8, with that locale generated)";
    const struct {
        const wchar_t* top;  // the folder below C:\ made for the case
        const char* secondByte;
    } cases[] = {
        {L"C:\\\u30DD\u30FC\u30BF\u30D6\u30EB", "\x7C"},  // katakana "portable": 0x83 0x7C first
        {L"C:\\\u767A\u8868", "\x5C"},                     // kanji "presentation": 0x94 0xAD 0x95 0x5C
    };
    for (const auto& c : cases) {
        const std::wstring wideFolder = std::wstring(c.top) + L"\\Quilvane";
        const std::string top = Ansi(c.top), folder = Ansi(wideFolder);
        ASSERT_FALSE(folder.empty());
        ASSERT_NE(top.find(c.secondByte, 3), std::string::npos) << "the name holds no such second byte";
        SCOPED_TRACE(folder);
        RemoveInstallation();
        RemoveTree(top + "\\");

        const RunSeen first = WatchSetup(Quoted("-d" + folder) + " /S");
        EXPECT_EQ(first.exitCode, 0u);
        for (const wchar_t* name : {L"\\qwp.exe", L"\\License.txt", L"\\Hyphenation.dat", L"\\Install.log"})
            EXPECT_TRUE(WideFileExists(wideFolder + name)) << Ansi(name);
        EXPECT_EQ(Entries(top + "\\"), std::vector<std::string>{"Quilvane"});
        EXPECT_EQ(StoredValue("MAINDIR"), "REG_SZ:" + folder);

        // The stored folder is taken again, not passed over for the default.
        ASSERT_TRUE(DeleteFileW((wideFolder + L"\\qwp.exe").c_str()));
        const RunSeen again = WatchSetup("/S");
        EXPECT_EQ(again.exitCode, 0u);
        EXPECT_TRUE(WideFileExists(wideFolder + L"\\qwp.exe"));
        EXPECT_FALSE(FolderExists(DefaultDestination()));

        RemoveInstallation();
        RemoveTree(top + "\\");
    }
}

}  // namespace
}  // namespace qwp::test::unattended
