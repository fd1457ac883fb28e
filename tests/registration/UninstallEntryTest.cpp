// The uninstall entry: its six values below the (redirected) machine key,
// and the folder size it reports, on the cluster sizes of the examples,
// with hidden and nested files, files too big for 32 bits, files that
// cannot be opened, and links that must not be followed.
#include "registration/UninstallEntry.h"

#include "instutils/DiskQueries.h"
#include "registration/SetupChoices.h"
#include "tests/registration/MachineRegistryRedirect.h"
#include "tests/support/LinkTargets.h"
#include "tests/support/RegistryScratch.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>

namespace qwp::test {
namespace {

// A file of exactly `size` bytes; a large one is made sparse by setting its
// end, so no data is written. False when the file system refuses the size.
bool MakeFileOfSize(const std::string& path, std::int64_t size) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file) return false;
    LARGE_INTEGER end;
    end.QuadPart = size;
    return SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get());
}

std::string Bytes(std::size_t n) { return std::string(n, 'x'); }


TEST(FolderSize, ExamplesOfBothClusterSizes) {
    TempFolder four;
    ASSERT_TRUE(WriteWholeFile(four / "one.bin", Bytes(1)));
    ASSERT_TRUE(WriteWholeFile(four / "more.bin", Bytes(4097)));
    EXPECT_EQ(FolderSizeKB(four.Path(), 4096), 12u) << "4 + 8";

    TempFolder small;
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) ASSERT_TRUE(WriteWholeFile(small / name, Bytes(100)));
    EXPECT_EQ(FolderSizeKB(small.Path(), 512), 0u) << "each file 512 bytes, 0 KB on its own";
    // The same files on 4096-byte clusters are 4 KB each.
    EXPECT_EQ(FolderSizeKB(small.Path(), 4096), 12u);
    // Exact multiples are not rounded; the folder text needs no backslash.
    ASSERT_TRUE(WriteWholeFile(small / "d.bin", Bytes(2048)));
    std::string withoutBackslash = small.Path();
    withoutBackslash.pop_back();
    EXPECT_EQ(FolderSizeKB(withoutBackslash, 512), 2u);
}

TEST(FolderSize, HiddenSystemAndNestedFilesCountEmptyFolderGivesZero) {
    TempFolder root;
    EXPECT_EQ(FolderSizeKB(root.Path(), 4096), 0u) << "empty folder";
    EXPECT_EQ(FolderSizeKB(root / "missing\\", 4096), 0u) << "a folder that cannot be listed";

    ASSERT_TRUE(CreateDirectoryA((root / "sub").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((root / "sub\\deeper").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((root / "empty").c_str(), nullptr));
    EXPECT_EQ(FolderSizeKB(root.Path(), 4096), 0u) << "folders alone";

    ASSERT_TRUE(WriteWholeFile(root / "top.bin", Bytes(10)));                 // 4
    ASSERT_TRUE(WriteWholeFile(root / "sub\\hidden.bin", Bytes(5000)));       // 8
    ASSERT_TRUE(WriteWholeFile(root / "sub\\deeper\\system.bin", Bytes(1)));  // 4
    ASSERT_TRUE(SetFileAttributesA((root / "sub\\hidden.bin").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA((root / "sub\\deeper\\system.bin").c_str(),
                                   FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesA((root / "sub\\deeper").c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(FolderSizeKB(root.Path(), 4096), 16u);
    SetFileAttributesA((root / "sub\\deeper\\system.bin").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(FolderSize, FileHeldOpenElsewhereStillCountsItsSize) {
    TempFolder root;
    ASSERT_TRUE(WriteWholeFile(root / "locked.bin", Bytes(9000)));
    // Held by the test without sharing, as a running program may hold it:
    // the size is asked with attribute access only, which sharing allows.
    UniqueFile locked(CreateFileA((root / "locked.bin").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(locked.valid());
    EXPECT_EQ(FolderSizeKB(root.Path(), 4096), 12u);
    EXPECT_EQ(FolderSizeKB(root.Path(), 65536), 64u);
}

TEST(FolderSize, FilesBeyond32BitsNeitherWrapNorGoNegative) {
    TempFolder root;
    // 3 GiB: its low 32 bits read as a negative size.
    if (!MakeFileOfSize(root / "big.bin", 3ll << 30)) GTEST_SKIP() << "no 3 GiB sparse file here";
    ASSERT_TRUE(WriteWholeFile(root / "small.bin", Bytes(1)));
    EXPECT_EQ(FolderSizeKB(root.Path(), 4096), (3u << 20) + 4u);
    // 4 GiB + 1 byte: its low 32 bits are 1.
    ASSERT_TRUE(MakeFileOfSize(root / "big.bin", (4ll << 30) + 1));
    EXPECT_EQ(FolderSizeKB(root.Path(), 4096), (4u << 20) + 4u + 4u);

    // A total of more than 2^32 KB is clamped to the largest DWORD.
    if (!MakeFileOfSize(root / "big.bin", 5ll << 40)) GTEST_SKIP() << "no 5 TiB sparse file here";
    EXPECT_EQ(FolderSizeKB(root.Path(), 4096), 0xFFFFFFFFu);
    DeleteFileA((root / "big.bin").c_str());
}

TEST(FolderSize, LinksAreNotFollowed) {
    TempFolder scratch;
    const std::string root = scratch / "dest\\", outside = scratch / "outside\\";
    ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(outside.c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(root + "own.bin", Bytes(100)));          // 4
    ASSERT_TRUE(WriteWholeFile(outside + "foreign.bin", Bytes(40000)));  // 40
    // A link to another folder, one back to the folder itself (a loop), and
    // one to another folder's file.
    UnixLinks links;
    if (const std::string why = links.Make(
            {{outside, root + "tofolder"}, {root, root + "loop"}, {outside + "foreign.bin", root + "tofile.bin"}});
        !why.empty())
        GTEST_SKIP() << why;
    EXPECT_EQ(FolderSizeKB(root, 4096), 4u);
    // A destination that is itself a link is measured where its files are.
    ASSERT_EQ(links.Make({{root, scratch / "alias"}}), "");
    EXPECT_EQ(FolderSizeKB(scratch / "alias", 4096), 4u);
}

class UninstallEntryTest : public RegistryScratchTest {
protected:
    TempFolder dest_;
};

TEST_F(UninstallEntryTest, ValuesWithTheirTypesAndContents) {
    ASSERT_TRUE(WriteWholeFile(dest_ / "qwp.exe", Bytes(5000)));
    ASSERT_TRUE(CreateDirectoryA((dest_ / "Sub Folder").c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(dest_ / "Sub Folder\\data.bin", Bytes(70000)));
    std::string mainDir = dest_.Path();
    mainDir.pop_back();
    const std::int64_t cluster = GetClusterSize(mainDir);
    const auto kb = [&](std::int64_t size) { return static_cast<DWORD>((size + cluster - 1) / cluster * cluster / 1024); };
    {
        MachineRegistryRedirect machine;
        ASSERT_TRUE(machine.Active());
        TRegistry registry;
        // A key of the stored choices is open: the entry goes elsewhere.
        WriteStoredChoices(registry, StoredChoices());
        EXPECT_TRUE(WriteUninstallEntry(registry, mainDir));
        EXPECT_EQ(registry.RootKey(), HKEY_LOCAL_MACHINE);
        const std::string key = machine.Below(kUninstallKey);
        EXPECT_EQ(ReadSzValue(key, "DisplayIcon"), std::optional<std::string>(mainDir + "\\qwp.exe"));
        EXPECT_EQ(ReadSzValue(key, "DisplayName"), std::optional<std::string>("Quilvane Word Processor"));
        EXPECT_EQ(ReadSzValue(key, "DisplayVersion"), std::optional<std::string>("4.0.6.7"));
        EXPECT_EQ(ReadDwordValue(key, "EstimatedSize"), std::optional<DWORD>(kb(5000) + kb(70000)))
            << "cluster size " << cluster;
        EXPECT_EQ(ReadSzValue(key, "Publisher"), std::optional<std::string>("The Quilvane Word Processor Team"));
        EXPECT_EQ(ReadSzValue(key, "UninstallString"),
                  std::optional<std::string>("\"" + mainDir + "\\qwp.exe\" -ui"));
        EXPECT_EQ(ReadSzValue(key, "InstallLocation"), std::optional<std::string>(mainDir));
        SYSTEMTIME today;
        GetLocalTime(&today);
        char date[16];
        wsprintfA(date, "%04u%02u%02u", today.wYear, today.wMonth, today.wDay);
        EXPECT_EQ(ReadSzValue(key, "InstallDate"), std::optional<std::string>(date));
        EXPECT_EQ(ReadDwordValue(key, "NoModify"), std::optional<DWORD>(1));
        EXPECT_EQ(ReadDwordValue(key, "NoRepair"), std::optional<DWORD>(1));
        EXPECT_EQ(RecordedInstallLocation(), std::optional<std::string>(mainDir)) << "read back for an upgrade";
        // Texts are stored with their terminating NUL.
        const std::optional<RawValue> raw = ReadRawValue(key, "DisplayName");
        ASSERT_TRUE(raw);
        EXPECT_EQ(raw->data, std::string("Quilvane Word Processor", 24));
        // Nothing of the entry lands beside the stored choices.
        EXPECT_EQ(ReadSzValue("Software\\Quilvane Word Processor\\Install", "DisplayIcon"), std::nullopt);
    }
}

TEST_F(UninstallEntryTest, SecondInstallationOverwritesTheOneEntryAndKeepsOtherValues) {
    TempFolder other;
    MachineRegistryRedirect machine;
    ASSERT_TRUE(machine.Active());
    const std::string key = machine.Below(kUninstallKey);
    ASSERT_TRUE(WriteWholeFile(dest_ / "qwp.exe", Bytes(9000)));
    {
        TRegistry registry;
        WriteUninstallEntry(registry, dest_.Path());
    }
    ASSERT_TRUE(WriteSzValue(key, "Comments", "left by someone else"));
    {
        TRegistry registry;
        WriteUninstallEntry(registry, other.Path());
    }
    // A folder with its trailing backslash still gives one backslash.
    EXPECT_EQ(ReadSzValue(key, "DisplayIcon"), std::optional<std::string>(other / "qwp.exe"));
    EXPECT_EQ(ReadSzValue(key, "UninstallString"), std::optional<std::string>("\"" + other / "qwp.exe" + "\" -ui"));
    EXPECT_EQ(ReadDwordValue(key, "EstimatedSize"), std::optional<DWORD>(0)) << "the other folder is empty";
    EXPECT_EQ(ReadSzValue(key, "InstallLocation"), std::optional<std::string>(other / ""));
    EXPECT_EQ(ReadSzValue(key, "Comments"), std::optional<std::string>("left by someone else"));
}

TEST_F(UninstallEntryTest, EntryThatCannotBeCreatedReportsFailure) {
    MachineRegistryRedirect machine;
    ASSERT_TRUE(machine.Active());
    ASSERT_TRUE(MakeVolatileKey(machine.Below("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall")));
    TRegistry registry;
    EXPECT_FALSE(WriteUninstallEntry(registry, dest_.Path()));
    EXPECT_FALSE(KeyExists(machine.Below(kUninstallKey)));
}

}  // namespace
}  // namespace qwp::test
