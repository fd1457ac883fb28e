#include "tests/instutils/InstUtilsFixture.h"

#include <objidl.h>
#include <shlobj.h>

namespace qwp::test {
namespace {

using ShortcutsTest = InstUtilsTest;

// Loads a saved shortcut into a fresh link object: target, working folder,
// description.
Lines ReadShortcut(const std::string& file) {
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> persist;
    char path[MAX_PATH] = "", folder[MAX_PATH] = "", description[MAX_PATH] = "";
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put())) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, persist.put())) &&
        SUCCEEDED(persist->Load(std::wstring(file.begin(), file.end()).c_str(), STGM_READ))) {
        link->GetPath(path, MAX_PATH, nullptr, 0);
        link->GetWorkingDirectory(folder, MAX_PATH);
        link->GetDescription(description, MAX_PATH);
    }
    return {path, folder, description};
}

TEST_F(ShortcutsTest, CreatesTheFolderLogsItThenTheShortcut) {
    const std::string target = scratch_ / "qwp.exe", menu = scratch_ / "Programs\\Quilvane\\";
    const std::string file = menu + "Quilvane Word Processor.lnk";
    ASSERT_TRUE(WriteWholeFile(target, "MZ"));
    StartLog();
    EXPECT_TRUE(CreateShortcut(file, target, scratch_ / "work", "first"));
    EXPECT_TRUE(CreateShortcut(file, target, scratch_ / "work", "Quilvane Word Processor"));  // replaces the first
    EXPECT_EQ(Log(), (Lines{"Made Dir: " + scratch_ / "Programs\\", "Made Dir: " + menu, "File Copy: " + file}));
    const Lines fields = ReadShortcut(file);
    EXPECT_TRUE(SameName(fields[0], target)) << fields[0];
    EXPECT_EQ(fields[1], scratch_ / "work");
    EXPECT_EQ(fields[2], "Quilvane Word Processor");
}

}  // namespace
}  // namespace qwp::test

namespace qwp::test {
namespace {

TEST_F(InstUtilsTest, BareShortcutNameCreatesAndLogsNothing) {
    const std::string target = scratch_ / "qwp.exe";
    ASSERT_TRUE(WriteWholeFile(target, "MZ"));
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(scratch_.Path().c_str()));
    StartLog();
    EXPECT_FALSE(CreateShortcut("Quilvane Word Processor.lnk", target, scratch_.Path(), "Quilvane Word Processor"));
    SetCurrentDirectoryA(previous);
    EXPECT_FALSE(FileExists(scratch_ / "Quilvane Word Processor.lnk"));
    EXPECT_EQ(Log(), Lines{});
}

}  // namespace
}  // namespace qwp::test
