// Writing entries to disk for real: contents, time stamps, the log line, and
// the Abort/Retry/Ignore dialog for every way a write can fail.
#include "tests/payload/EngineFixture.h"

#include "instutils/Handles.h"

namespace qwp::test {
namespace {

const char kDialogStart[] = "Cannot create file \"";

std::string MessageFor(const std::string& path) {
    return std::string(kDialogStart) + path +
           "\".\rAnother application might already be using this file.\r\rPlease make sure that the setup of "
           "Quilvane Word Processor is not blocked by your security software (firewall/antivirus) in any way.\r"
           "You might want to temporarily disable your security software and try again.";
}

std::string EntryContent(const TAttachedFiles& catalogue, const TAttachedFile& entry) {
    return std::string(reinterpret_cast<const char*>(catalogue.Data.data()) + entry.Offset, entry.Size);
}

TEST_F(EngineTest, WritesContentAndTheStoredTimeAndLogsOnce) {
    const std::string path = dest_ / "sub\\License.txt";
    ASSERT_TRUE(catalogue().ExtractEntry(nullptr, "LICENSE.TXT", path, user_));
    EXPECT_EQ(ReadWholeFile(path), EntryContent(catalogue(), Entry("License.txt")));
    EXPECT_EQ(FileTimeOf(path), Entry("License.txt").Date) << "read back at two-second resolution";
    ASSERT_TRUE(catalogue().ExtractEntry(&Entry("License.txt"), "", path, user_));
    EXPECT_EQ(*InstallLog, (std::vector<std::string>{"Made Dir: " + dest_.Path() + "sub\\", "File Copy: " + path}));
    EXPECT_TRUE(user_.Questions().empty());
}

TEST_F(EngineTest, EmptyEntryGivesAnEmptyFileWithItsTime) {
    const std::string path = dest_ / "userdicen.tlx";
    ASSERT_TRUE(WriteWholeFile(path, "an older, longer file"));
    ASSERT_TRUE(catalogue().ExtractEntry(nullptr, "userdicen.tlx", path, user_));
    EXPECT_EQ(FileSizeOf(path), 0);
    EXPECT_EQ(FileTimeOf(path), Entry("userdicen.tlx").Date);
}

TEST_F(EngineTest, StampBefore1980LeavesTheTimeOfWriting) {
    TAttachedFile old = Entry("License.txt");
    old.Date = 20000.0;  // 1954
    const std::string path = dest_ / "old.txt";
    const double before = NowAsDateTime();
    ASSERT_TRUE(catalogue().ExtractEntry(&old, "", path, user_));
    EXPECT_NEAR(FileTimeOf(path), before, 5.0 / 86400);
}

TEST_F(EngineTest, SuppressedLoggingStillWritesFoldersAndFile) {
    const std::string path = dest_ / "a\\b\\us.zlx";
    SuppressLog();
    ASSERT_TRUE(catalogue().ExtractEntry(nullptr, "us.zlx", path, user_));
    ResumeLog();
    EXPECT_TRUE(FileExists(path));
    EXPECT_TRUE(InstallLog->empty());
}

TEST_F(EngineTest, LockedDestinationIsRetriedAfterRelease) {
    const std::string path = dest_ / "qwp.exe";
    UniqueFile lock(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(lock.valid());
    user_.Queue(CopyAnswer::Retry);                           // still locked: asked again
    user_.Queue(CopyAnswer::Retry, [&lock] { lock.reset(); });  // the other program lets go
    ASSERT_TRUE(catalogue().ExtractEntry(nullptr, "qwp.exe", path, user_));
    ASSERT_EQ(user_.Questions().size(), 2u);
    const ScriptedFrontEnd::Question& asked = user_.Questions()[0];
    EXPECT_EQ(asked.destination, path);
    EXPECT_EQ(asked.message, MessageFor(path));
    EXPECT_EQ(ReadWholeFile(path), EntryContent(catalogue(), Entry("qwp.exe")));
    EXPECT_EQ(*InstallLog, std::vector<std::string>{"File Copy: " + path});
}

// Ignore keeps whatever is there and logs nothing; Abort reports false.
TEST_F(EngineTest, UnwritableDestinationIgnoredOrAborted) {
    const std::string path = dest_ / "Basic.asn";
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    user_.Queue(CopyAnswer::Ignore);
    EXPECT_TRUE(catalogue().ExtractEntry(nullptr, "Basic.asn", path, user_));
    user_.Queue(CopyAnswer::Abort);
    EXPECT_FALSE(catalogue().ExtractEntry(nullptr, "Basic.asn", path, user_));
    EXPECT_EQ(user_.Questions().size(), 2u);
    EXPECT_TRUE(FolderExists(path));
    EXPECT_TRUE(InstallLog->empty()) << "nothing is logged for a file that was not written";
}

TEST_F(EngineTest, ReadOnlyDestinationLeadsToTheDialog) {
    const std::string path = dest_ / "Basic.asn";
    ASSERT_TRUE(WriteWholeFile(path, "kept"));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    UniqueFile probe(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    const bool writable = probe.valid();
    probe.reset();
    if (writable) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        GTEST_SKIP() << "this system lets the process write read-only files (Wine running as root)";
    }
    user_.Queue(CopyAnswer::Ignore);
    EXPECT_TRUE(catalogue().ExtractEntry(nullptr, "Basic.asn", path, user_));
    EXPECT_EQ(user_.Questions().size(), 1u);
    EXPECT_EQ(ReadWholeFile(path), "kept");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(EngineTest, NameNotInTheCatalogueWritesNothingAndAsks) {
    const std::string path = dest_ / "missing.txt";
    user_.Queue(CopyAnswer::Retry);
    user_.Queue(CopyAnswer::Abort);
    EXPECT_FALSE(catalogue().ExtractEntry(nullptr, "missing.txt", path, user_));
    EXPECT_EQ(user_.Questions().size(), 2u);
    EXPECT_FALSE(FileExists(path));
    EXPECT_TRUE(InstallLog->empty());
}

// A disk that fills up mid-file: the write comes up short.
TEST_F(EngineTest, ShortWriteOnAFullDiskIsAFailureNotACopy) {
    const std::string drive = Environment("QWP_SMALL_DRIVE");
    if (drive.empty()) GTEST_SKIP() << "this machine did not let the test environment mount a small RAM disk";
    const std::string root = drive + "\\";
    RemoveTree(root + "fill");
    CreateDirectoryA((root + "fill").c_str(), nullptr);
    // Leave less room than the program needs.
    const std::int64_t needed = Entry("qwp.exe").Size;
    std::int64_t free = DriveFreeBytes(root);
    ASSERT_GT(free, needed) << "the small drive should start nearly empty";
    ASSERT_TRUE(WriteWholeFile(root + "fill\\filler.bin", std::string(static_cast<std::size_t>(free - needed / 2), 'f')));
    const std::string path = root + "qwp.exe";
    user_.Queue(CopyAnswer::Abort);
    EXPECT_FALSE(catalogue().ExtractEntry(nullptr, "qwp.exe", path, user_));
    EXPECT_EQ(user_.Questions().size(), 1u) << "the full disk must reach the user";
    EXPECT_FALSE(FileExists(path)) << "no truncated file is left behind";
    EXPECT_TRUE(InstallLog->empty());
    RemoveTree(root + "fill");
}

}  // namespace
}  // namespace qwp::test

namespace qwp::test {
namespace {

TEST_F(EngineTest, FolderRemovedBetweenCopiesIsMadeAgainWithoutAsking) {
    ASSERT_TRUE(catalogue().ExtractEntry(nullptr, "us.zlx", dest_ / "sub\\us.zlx", user_));
    RemoveTree(dest_ / "sub");
    ASSERT_TRUE(catalogue().ExtractEntry(nullptr, "uk.zlx", dest_ / "sub\\uk.zlx", user_));
    EXPECT_TRUE(FileExists(dest_ / "sub\\uk.zlx"));
    EXPECT_TRUE(user_.Questions().empty());
}

// Inside the install run's series of copies too, where a folder is asked
// about once: a folder removed behind its back is made again, for the same
// folder and for one below the removed one, and Install.log holds each line
// once.
TEST_F(EngineTest, FolderRemovedDuringACopySeriesIsMadeAgainWithoutAsking) {
    struct Case {
        bool series;
        const char* second;  // where the second copy goes, after "a" was removed
    };
    const Case cases[] = {{false, "a\\b\\uk.zlx"}, {true, "a\\b\\uk.zlx"}, {false, "a\\c\\uk.zlx"},
                          {true, "a\\c\\uk.zlx"}};
    for (const Case& c : cases) {
        InstallLog->clear();
        RemoveTree(dest_ / "a");
        if (c.series) catalogue().BeginCopySeries();
        ASSERT_TRUE(catalogue().ExtractEntry(nullptr, "us.zlx", dest_ / "a\\b\\us.zlx", user_));
        RemoveTree(dest_ / "a");
        const std::string second = dest_ / c.second;
        EXPECT_TRUE(catalogue().ExtractEntry(nullptr, "uk.zlx", second, user_)) << c.second;
        if (c.series) catalogue().EndCopySeries();
        EXPECT_TRUE(FileExists(second)) << c.second;
        EXPECT_TRUE(user_.Questions().empty()) << c.second;
        std::vector<std::string> expected{"Made Dir: " + dest_.Path() + "a\\", "Made Dir: " + dest_.Path() + "a\\b\\",
                                          "File Copy: " + dest_.Path() + "a\\b\\us.zlx"};
        if (std::string(c.second).find("\\c\\") != std::string::npos)
            expected.push_back("Made Dir: " + dest_.Path() + "a\\c\\");
        expected.push_back("File Copy: " + second);
        EXPECT_EQ(*InstallLog, expected) << c.series << " " << c.second;
    }
}

// Both ways of giving a file its stored time leave the same on the disk: the
// write handle on a local drive, a second opening after the close on a
// network drive.
TEST_F(EngineTest, StoredTimeOnLocalAndNetworkDrives) {
    const std::string network = Environment("QWP_NETWORK_DRIVE");
    if (network.empty()) GTEST_SKIP() << "the test environment set up no network drive";
    const std::string remote = network + "\\Quilvane Extract\\";
    RemoveTree(remote);
    ASSERT_TRUE(IsNetworkPath(remote));
    for (const std::string& folder : {dest_.Path(), remote}) {
        for (const char* name : {"qwp.exe", "us.zlx", "Basic.asn"}) {
            const std::string path = folder + name;
            ASSERT_TRUE(catalogue().ExtractEntry(nullptr, name, path, user_)) << path;
            EXPECT_EQ(FileTimeOf(path), Entry(name).Date) << path;
            EXPECT_EQ(ReadWholeFile(path), EntryContent(catalogue(), Entry(name))) << path;
        }
    }
    EXPECT_TRUE(user_.Questions().empty());
    RemoveTree(remote);
}

}  // namespace
}  // namespace qwp::test
