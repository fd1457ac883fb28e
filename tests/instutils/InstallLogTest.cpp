#include "tests/instutils/InstUtilsFixture.h"

namespace qwp::test {
namespace {

using InstallLogTest = InstUtilsTest;

TEST_F(InstallLogTest, LinesAreAddedOnceAndOnlyWhileLoggingIsOn) {
    AddLogLine("File Copy: C:\\Q\\a.txt");  // no log open yet: dropped
    EXPECT_FALSE(InstallLog);
    StartLog();
    SuppressLog();
    AddLogLine("File Copy: C:\\Q\\a.txt");
    ResumeLog();
    AddLogLine("File Copy: C:\\Q\\a.txt");  // what was suppressed is not remembered
    AddLogLine("File Copy: C:\\Q\\Readme.txt");
    AddLogLine("FILE COPY: c:\\q\\README.TXT");
    AddLogLine("File Copy: C:\\Q\\Readme.txt ");
    EXPECT_EQ(Log(),
              (Lines{"File Copy: C:\\Q\\a.txt", "File Copy: C:\\Q\\Readme.txt", "File Copy: C:\\Q\\Readme.txt "}));
}

TEST_F(InstallLogTest, EarlierLogIsLoadedFirstAndSavedWithCrLfAfterEveryLine) {
    const std::string path = scratch_ / "Install.log";
    const char earlier[] = "Made Dir: A\\\r\nFile Copy: A\\1\rFile Copy: A\\2\n\nlast\0junk\r\n";
    ASSERT_TRUE(WriteWholeFile(path, std::string(earlier, sizeof earlier - 1)));
    ASSERT_TRUE(WriteWholeFile(path + ".new", "stray"));  // a side name that is taken
    OpenInstallLog(scratch_.Path());
    EXPECT_EQ(InstallLogPath, path);
    EXPECT_EQ(Log(), (Lines{"Made Dir: A\\", "File Copy: A\\1", "File Copy: A\\2", "", "last"}));
    AddLogLine("file copy: a\\2");
    AddLogLine("File Copy: A\\3");
    EXPECT_TRUE(SaveInstallLog());
    EXPECT_EQ(ReadWholeFile(path),
              "Made Dir: A\\\r\nFile Copy: A\\1\r\nFile Copy: A\\2\r\n\r\nlast\r\nFile Copy: A\\3\r\n");
    EXPECT_EQ(ReadWholeFile(path + ".new"), "stray");
    EXPECT_EQ(Entries(scratch_.Path()), (Lines{"Install.log", "Install.log.new"}));
}

TEST_F(InstallLogTest, AFailedSaveKeepsTheOldLogAndNoSideFile) {
    // A folder where the log should be cannot be replaced by the rename.
    InstallLog = std::make_unique<Lines>(Lines{"File Copy: X"});
    InstallLogPath = scratch_ / "Install.log";
    CreateDirectoryA(InstallLogPath.c_str(), nullptr);
    EXPECT_FALSE(SaveInstallLog());
    EXPECT_EQ(Entries(scratch_.Path()), Lines{"Install.log"});

    const std::string drive = Environment("QWP_SMALL_DRIVE");
    if (drive.empty()) GTEST_SKIP() << "QWP_SMALL_DRIVE is empty: no small RAM disk could be mounted";
    const std::string folder = drive + "\\log" + std::to_string(GetCurrentProcessId()) + "\\";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder << " error " << GetLastError();
    const std::string old = "File Copy: F:\\old.txt\r\nlast line without an end";
    ASSERT_TRUE(WriteWholeFile(folder + "Install.log", old));
    OpenInstallLog(folder);
    ASSERT_EQ(Log().size(), 2u);
    {
        UniqueFile filler(CreateFileA((folder + "filler").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                      nullptr));
        const std::string block(65536, 'f');
        DWORD written = 0;
        for (DWORD size = 65536; size > 0; size /= 2)  // to the last byte
            while (WriteFile(filler.get(), block.data(), size, &written, nullptr) && written == size) {}
    }
    for (int i = 0; i < 100; ++i) AddLogLine("File Copy: " + std::string(100, 'a') + std::to_string(i));
    EXPECT_FALSE(SaveInstallLog());
    EXPECT_EQ(ReadWholeFile(folder + "Install.log"), old);
    EXPECT_EQ(Entries(folder), (Lines{"Install.log", "filler"}));
    RemoveTree(folder);
}

TEST_F(InstallLogTest, PortableDestinationReadsAndWritesNoLog) {
    const std::string drive = Environment("QWP_REMOVABLE_DRIVE");
    if (drive.empty()) GTEST_SKIP() << "QWP_REMOVABLE_DRIVE is empty: no removable test drive configured";
    const std::string folder = drive + "\\portable" + std::to_string(GetCurrentProcessId()) + "\\";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder << " error " << GetLastError();
    ASSERT_TRUE(WriteWholeFile(folder + "Install.log", "File Copy: old\r\n"));
    OpenInstallLog(folder);
    EXPECT_EQ(InstallLogPath, "");
    EXPECT_EQ(Log(), Lines{});
    AddLogLine("File Copy: new");
    EXPECT_FALSE(SaveInstallLog());
    EXPECT_EQ(ReadWholeFile(folder + "Install.log"), "File Copy: old\r\n");
    RemoveTree(folder);
}

}  // namespace
}  // namespace qwp::test
