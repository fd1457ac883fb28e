#include "instutils/DateTime.h"
#include "tests/instutils/InstUtilsFixture.h"

namespace qwp::test {
namespace {

using DiskQueriesTest = InstUtilsTest;

bool SetLocalWriteTime(const std::string& path, const SYSTEMTIME& time) {
    FILETIME local, utc;
    UniqueFile file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    return SystemTimeToFileTime(&time, &local) && LocalFileTimeToFileTime(&local, &utc) && file &&
           SetFileTime(file.get(), nullptr, nullptr, &utc);
}

TEST_F(DiskQueriesTest, DiskUsageRoundsUpToTheVolumesClusters) {
    DWORD sectors = 0, bytes = 0, freeClusters = 0, total = 0;
    ASSERT_TRUE(GetDiskFreeSpaceA("C:\\", &sectors, &bytes, &freeClusters, &total));
    const std::int32_t c = static_cast<std::int32_t>(sectors * bytes);
    EXPECT_EQ(GetClusterSize(scratch_.Path()), c);
    const std::pair<std::int32_t, std::int32_t> cases[] = {{0, 0}, {1, c}, {c, c}, {c + 1, 2 * c}};
    for (const auto& [size, usage] : cases) EXPECT_EQ(DiskUsage(scratch_.Path(), size), usage) << size;
}

TEST_F(DiskQueriesTest, FileSizeAndFreeBytesOrMinusOne) {
    ASSERT_TRUE(WriteWholeFile(scratch_ / "f.bin", std::string(12345, 'x')));
    EXPECT_EQ(FileSizeOf(scratch_ / "f.bin"), 12345);
    EXPECT_EQ(FileSizeOf(scratch_ / "missing.bin"), -1);
    EXPECT_EQ(FileSizeOf(scratch_.Path()), -1);
    EXPECT_GT(DriveFreeBytes(scratch_ / "x.txt"), 0);
    EXPECT_EQ(DriveFreeBytes("Q:\\x"), -1) << "drive Q: should not exist in the test prefix";
}

TEST_F(DiskQueriesTest, FileTimeReadsBackAtTwoSecondResolution) {
    const std::string path = scratch_ / "dated.txt";
    ASSERT_TRUE(WriteWholeFile(path, "x"));
    DosDateTime dos;
    dos.date = (2023 - 1980) * 512 + 6 * 32 + 15;
    dos.time = 13 * 2048 + 47 * 32 + 58 / 2;
    FILETIME local, utc;
    ASSERT_TRUE(DosDateTimeToFileTime(dos.date, dos.time, &local) && LocalFileTimeToFileTime(&local, &utc));
    {
        UniqueFile file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file && SetFileTime(file.get(), nullptr, nullptr, &utc));
    }
    EXPECT_EQ(FileTimeOf(path), DosToDateTime(dos));  // exactly: the overwrite test compares doubles

    SYSTEMTIME time = {};
    time.wYear = 2023, time.wMonth = 6, time.wDay = 15, time.wHour = 13, time.wMinute = 47, time.wSecond = 59;
    ASSERT_TRUE(SetLocalWriteTime(path, time));
    EXPECT_EQ(FileTimeOf(path), DosToDateTime(dos));  // the odd second is dropped

    time.wYear = 1975;  // before the DOS form begins
    ASSERT_TRUE(SetLocalWriteTime(path, time));
    DateTimeParts parts;
    EXPECT_EQ(FileTimeOf(path), kNoDosTime);
    EXPECT_FALSE(DecodeDateTime(kNoDosTime, parts));
}

TEST_F(DiskQueriesTest, OnlyTheRemovableDriveIsPortable) {
    EXPECT_EQ(DriveTypeOf("c:\\x"), static_cast<unsigned>(DRIVE_FIXED));
    EXPECT_EQ(DriveTypeOf("relative\\x"), static_cast<unsigned>(DRIVE_NO_ROOT_DIR));
    EXPECT_FALSE(IsPortableLocation("C:\\Program Files\\Quilvane\\"));
    EXPECT_FALSE(IsPortableLocation("Q:\\Quilvane\\"));
    const std::string drive = Environment("QWP_REMOVABLE_DRIVE");
    if (drive.empty()) GTEST_SKIP() << "QWP_REMOVABLE_DRIVE is empty: no removable test drive configured";
    EXPECT_TRUE(IsPortableLocation(drive + "\\Quilvane\\"));
}

// Where a file's time can go through the handle it was written with, and
// where the file must be opened again after the close.
TEST_F(DiskQueriesTest, NetworkPathsAreSharesAndRemoteDrives) {
    const std::string network = Environment("QWP_NETWORK_DRIVE");
    const struct {
        std::string path;
        bool onNetwork;
    } cases[] = {
        {"\\\\server\\share\\Quilvane\\qwp.exe", true},
        {"\\\\server\\share", true},
        {"C:\\Program Files\\Quilvane\\", false},
        {"c:", false},
        {Environment("QWP_REMOVABLE_DRIVE") + "\\Quilvane\\", false},
        {"relative\\x", false},
        {network.empty() ? std::string("C:\\") : network + "\\Quilvane\\qwp.exe", !network.empty()},
    };
    for (const auto& c : cases) EXPECT_EQ(IsNetworkPath(c.path), c.onNetwork) << c.path;
}

}  // namespace
}  // namespace qwp::test
