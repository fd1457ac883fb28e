// The helpers the end-to-end tests judge the setup with: a helper that
// lists too little, reads a value wrongly or damages the wrong byte would
// let a faulty setup pass them.
#include "instutils/Handles.h"
#include "instutils/PathText.h"
#include "tests/support/InstalledFiles.h"
#include "tests/support/Installation.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/ProgramCopies.h"
#include "tests/support/RegistryScratch.h"
#include "tests/support/RegistrySnapshot.h"
#include "tests/support/SetupWalk.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Text.h"
#include "tests/support/UnattendedRun.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace qwp::test {
namespace {

TEST(EndToEndText, JoinsLinesAndKinds) {
    EXPECT_EQ(Joined({}, "|"), "");
    EXPECT_EQ(Joined({"a", "b", "c"}, "|"), "a|b|c");
    // An empty item still gets its separator.
    EXPECT_EQ(Joined({"", "a", ""}, "; "), "; a; ");

    EXPECT_EQ(LinesOf(""), std::vector<std::string>{});
    EXPECT_EQ(LinesOf("one\r\ntwo\n\nfour"), (std::vector<std::string>{"one", "two", "", "four"}));

    const std::vector<std::string> log = {"Copied: a", "Copy failed: b (Abort)", "Copied:b", "Copied: c"};
    EXPECT_EQ(LinesOfKind(log, "Copied"), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(LinesOfKind(log, "Copy"), std::vector<std::string>{}) << "another kind that begins the same";

    EXPECT_EQ(Lower("C:\\Program Files\\Quilvane"), "c:\\program files\\quilvane");
    EXPECT_TRUE(StartsWith("Exit: 0 (installed)", "Exit: 0"));
    EXPECT_FALSE(StartsWith("Exit", "Exit: 0"));
}

TEST(EndToEndFiles, ListsEveryFileAtAnyDepth) {
    TempFolder folder;
    ASSERT_TRUE(CreateDirectoryA((folder / "sub").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((folder / "sub\\deeper").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((folder / "empty").c_str(), nullptr));
    for (const char* name : {"b.txt", "a.txt", "sub\\c.dat", "sub\\deeper\\d.dat"})
        ASSERT_TRUE(WriteWholeFile(folder / name, name)) << name;

    EXPECT_EQ(FilesBelow(folder.Path()), "a.txt|b.txt|sub\\c.dat|sub\\deeper\\d.dat");
    // The folder without its trailing backslash is the same folder.
    EXPECT_EQ(FilesBelow(JoinPath(folder.Path(), "sub")), "c.dat|deeper\\d.dat");
    EXPECT_EQ(FilesBelow(folder / "empty"), "");
    EXPECT_EQ(FilesBelow(folder / "missing"), "(no folder)");

    std::vector<std::string> full;
    ListFilesBelow(folder / "sub\\", full, folder / "sub\\");
    EXPECT_EQ(full, (std::vector<std::string>{folder / "sub\\c.dat", folder / "sub\\deeper\\d.dat"}));
}

TEST(EndToEndFiles, WriteTimeIsLocalAsTheManifestWritesIt) {
    TempFolder folder;
    const std::string path = folder / "stamped.txt";
    ASSERT_TRUE(WriteWholeFile(path, "x"));
    const SYSTEMTIME when = {2001, 2, 0, 3, 4, 5, 6, 0};
    FILETIME local, utc;
    ASSERT_TRUE(SystemTimeToFileTime(&when, &local));
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
    {
        UniqueFile file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file);
        ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &utc));
    }
    EXPECT_EQ(LocalWriteTime(path), "2001-02-03 04:05:06");
    EXPECT_EQ(LocalWriteTime(folder / "missing.txt"), "missing");
}

// Where a full installation puts each kind of entry, in any letter case.
TEST(EndToEndFiles, InstalledPathsFollowTheComponents) {
    const std::string mainDir = "C:\\Dest";
    EXPECT_EQ(InstalledPath(mainDir, "qwp.exe"), "C:\\Dest\\qwp.exe");
    EXPECT_EQ(InstalledPath(mainDir, "UK.ZLX"), SpellingFolder() + "UK.ZLX");
    EXPECT_EQ(InstalledPath(mainDir, "English (American).cache"), SpellingFolder() + "English (American).cache");
    EXPECT_EQ(InstalledPath(mainDir, "Templates\\Faxes\\Fax 1.rtf"), PublicFolder() + "Templates\\Faxes\\Fax 1.rtf");
    EXPECT_EQ(InstalledPath(mainDir, "Clip Library\\a.wmf"), PublicFolder() + "Clip Library\\a.wmf");
    EXPECT_EQ(InstalledPath(mainDir, "Basic.asn"), PublicFolder() + "Basic.asn");
    EXPECT_EQ(InstalledPath(mainDir, "Templates.txt"), "C:\\Dest\\Templates.txt") << "not the templates folder";
    EXPECT_TRUE(IsSpellingFile("userdicen.tlx"));
    EXPECT_FALSE(IsSpellingFile("Hyphenation.dat"));

    const std::vector<PayloadEntry> manifest = ReadManifest();
    ASSERT_EQ(manifest.size(), 272u);
    EXPECT_EQ(manifest.front().name, "qwp.exe");
    EXPECT_EQ(manifest.front().source, "@qwp");
    EXPECT_EQ(SourceBytes(manifest.front()), ReadWholeFile(BuildFile("qwp.exe")));
    // One copy per entry, every one in its own place, and the British cache.
    const std::set<std::string> copies = ExpectedCopies(mainDir);
    EXPECT_EQ(copies.size(), manifest.size() + 1);
    EXPECT_EQ(copies.count(Lower(SpellingFolder() + "English (British).cache")), 1u);
}

// The stored choices as the tests compare them, read from a scratch
// registry.
using EndToEndStoredChoices = RegistryScratchTest;

TEST_F(EndToEndStoredChoices, ShowsEachTypeAndWhatIsMissing) {
    EXPECT_EQ(StoredValue("MAINDIR"), "absent") << "no Install key";
    ASSERT_TRUE(WriteSzValue(kInstallKey, "MAINDIR", "C:\\Dest"));
    ASSERT_TRUE(WriteDwordValue(kInstallKey, "COMPS (1.6.6.2)", 0x7FFFFFFE));
    ASSERT_TRUE(WriteRawValue(kInstallKey, "ODD", REG_BINARY, std::string("\x01\x02\x03", 3)));
    ASSERT_TRUE(WriteRawValue(kInstallKey, "SHORT", REG_DWORD, std::string("\x01\x02", 2)));

    EXPECT_EQ(StoredValue("MAINDIR"), "REG_SZ:C:\\Dest");
    EXPECT_EQ(StoredValue("COMPS (1.6.6.2)"), "REG_DWORD:0x7FFFFFFE");
    EXPECT_EQ(StoredValue("ODD"), "type 3, 3 bytes");
    EXPECT_EQ(StoredValue("SHORT"), "type 4, 2 bytes") << "a DWORD of the wrong size";
    EXPECT_EQ(StoredValue("LAUNCH"), "absent");
    EXPECT_EQ(DwordText(1), "REG_DWORD:0x00000001");

    EXPECT_EQ(StoredDword("COMPS (1.6.6.2)"), 0x7FFFFFFEu);
    EXPECT_EQ(StoredDword("MAINDIR"), 0xDEADBEEFu) << "text is no number";
    EXPECT_EQ(StoredDword("LAUNCH"), 0xDEADBEEFu);
}

TEST_F(EndToEndStoredChoices, SnapshotHoldsEveryKeyAndValue) {
    const std::string root = "Software\\Snapshot Probe";
    EXPECT_EQ(RegistrySnapshot(HKEY_CURRENT_USER, root), "(absent)\n");
    ASSERT_TRUE(WriteSzValue(root, "Name", "text"));
    ASSERT_TRUE(WriteRawValue(root + "\\Inner", "Bytes", REG_BINARY, std::string("\x0A\xFF", 2)));
    ASSERT_TRUE(WriteDwordValue(root + "\\Inner\\Deep", "Number", 0x01020304));

    EXPECT_EQ(RegistrySnapshot(HKEY_CURRENT_USER, root),
              root + "\n" + root + ": Name = 1:text" + std::string(1, '\0') + "\n" +  // the stored NUL as well
                  root + "\\Inner\n" + root + "\\Inner: Bytes = 3:0AFF\n" + root + "\\Inner\\Deep\n" + root +
                  "\\Inner\\Deep: Number = 4:04030201\n");
}

TEST(EndToEndCopies, DamagedSetupDiffersInOnePayloadByte) {
    TempFolder folder;
    const std::string program = folder / "setup.exe";
    ASSERT_TRUE(MakeDamagedSetup(program));
    const std::string original = ReadWholeFile(BuildFile("setup.exe"));
    const std::string damaged = ReadWholeFile(program);
    ASSERT_EQ(damaged.size(), original.size());
    std::vector<std::size_t> differing;
    for (std::size_t i = 0; i < original.size(); ++i)
        if (original[i] != damaged[i]) differing.push_back(i);
    ASSERT_EQ(differing.size(), 1u);
    EXPECT_EQ(static_cast<unsigned char>(original[differing[0]] ^ damaged[differing[0]]), 0x20u);
    const std::string payload = ReadWholeFile(BuildFile("payload/payload.bin"));
    const std::size_t at = original.find(payload);
    ASSERT_NE(at, std::string::npos) << "the payload is not packed whole into the program";
    EXPECT_GE(differing[0], at);
    EXPECT_LT(differing[0], at + payload.size());
}

}  // namespace
}  // namespace qwp::test
