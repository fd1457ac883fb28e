// Update.log on disk: the merge with the user locale's comparison, the file
// replaced in one step, and a file that cannot be read or written leaving
// everything as it was with a message that names it.
#include "registration/UpdateLog.h"

#include "instutils/Handles.h"
#include "registration/UpdateLogMerge.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace qwp::test {
namespace {

using Lines = std::vector<std::string>;

// The file held open without sharing, as another program may hold it.
class HeldOpen {
public:
    explicit HeldOpen(const std::string& path)
        : file_(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {
        EXPECT_TRUE(file_.valid()) << path;
    }

private:
    UniqueFile file_;
};

class UpdateLogTest : public ::testing::Test {
protected:
    std::string LogPath() const { return folder_ / "Update.log"; }
    std::string LogText() const { return ReadWholeFile(LogPath()); }
    TempFolder folder_;
};

TEST_F(UpdateLogTest, NewFileHoldsTheStampAndTheListSortedByTheUserLocale) {
    // String sort: the hyphen is a symbol and sorts before the letters
    // (a word sort would ignore it and put "a-c" after "ab"); case ignored.
    Lines list = {"C:\\P\\ab.txt", "C:\\P\\a-c.txt", "C:\\P\\AA.txt\t!", "C:\\P\\b'x.txt", "C:\\P\\bz.txt"};
    const UpdateLogResult result = WriteUpdateLog(list, 45000.5, folder_.Path());
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(LogText(),
              "*0000000010F9E540\r\n"
              "C:\\P\\a-c.txt\r\n"
              "C:\\P\\AA.txt\t!\r\n"
              "C:\\P\\ab.txt\r\n"
              "C:\\P\\b'x.txt\r\n"
              "C:\\P\\bz.txt\r\n");
    // The list stays sorted for the caller.
    EXPECT_EQ(list.front(), "C:\\P\\a-c.txt");
    EXPECT_EQ(Entries(folder_.Path()), Lines{"Update.log"}) << "no side file left";
}

TEST_F(UpdateLogTest, MergesIntoTheExistingFileIgnoringCase) {
    ASSERT_TRUE(WriteWholeFile(LogPath(), "*A\r\nc:\\p\\ONE.txt\r\n\r\nc:\\p\\two.txt\n*B\rc:\\p\\three.txt\r\n"));
    Lines list = {"C:\\P\\two.txt", "C:\\P\\one.txt"};
    const UpdateLogResult result = WriteUpdateLog(list, 0.0, folder_.Path());
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(LogText(), "*A\r\nc:\\p\\three.txt\r\n*0000000000000000\r\nC:\\P\\one.txt\r\nC:\\P\\two.txt\r\n");
    EXPECT_EQ(Entries(folder_.Path()), Lines{"Update.log"}) << "no side file left";

    // Installing the same files again leaves one block.
    Lines again = {"C:\\P\\three.txt", "C:\\P\\one.txt", "C:\\P\\two.txt"};
    ASSERT_TRUE(WriteUpdateLog(again, 0.25, folder_.Path()).ok);
    EXPECT_EQ(LogText(), UpdateLogStampLine(0.25) + "\r\nC:\\P\\one.txt\r\nC:\\P\\three.txt\r\nC:\\P\\two.txt\r\n");
}

TEST_F(UpdateLogTest, EmptyListNeitherReadsNorWrites) {
    Lines none;
    EXPECT_TRUE(WriteUpdateLog(none, 1.0, folder_.Path()).ok);
    EXPECT_TRUE(Entries(folder_.Path()).empty());
    // Even a file that could not be read is left alone without a word.
    ASSERT_TRUE(WriteWholeFile(LogPath(), "*A\r\np\r\n"));
    HeldOpen locked(LogPath());
    EXPECT_TRUE(WriteUpdateLog(none, 1.0, folder_.Path()).ok);
}

TEST_F(UpdateLogTest, ReadOnlyFileIsKeptAndNamedInTheMessage) {
    const std::string before = "*A\r\nC:\\P\\old.txt\r\n";
    ASSERT_TRUE(WriteWholeFile(LogPath(), before));
    ASSERT_TRUE(SetFileAttributesA(LogPath().c_str(), FILE_ATTRIBUTE_READONLY));
    Lines list = {"C:\\P\\new.txt"};
    const UpdateLogResult result = WriteUpdateLog(list, 2.0, folder_.Path());
    SetFileAttributesA(LogPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find(LogPath()), std::string::npos) << result.message;
    EXPECT_NE(result.message.find("could not be written"), std::string::npos) << result.message;
    // The system's reason follows the path.
    EXPECT_GT(result.message.size(), result.message.find(LogPath()) + LogPath().size() + 25) << result.message;
    EXPECT_EQ(LogText(), before);
    EXPECT_EQ(Entries(folder_.Path()), Lines{"Update.log"}) << "no side file left";
}

TEST_F(UpdateLogTest, RenameRefusedBySystemLeavesNoSideFile) {
    // A folder of that name: the new file cannot be renamed over it.
    ASSERT_TRUE(CreateDirectoryA(LogPath().c_str(), nullptr));
    Lines list = {"C:\\P\\new.txt"};
    const UpdateLogResult result = WriteUpdateLog(list, 2.0, folder_.Path());
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find(LogPath() + "\rcould not be written:\r"), std::string::npos) << result.message;
    EXPECT_EQ(Entries(folder_.Path()), Lines{"Update.log"}) << "no side file left";
    EXPECT_NE(GetFileAttributesA(LogPath().c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(UpdateLogTest, FileThatCannotBeReadIsKeptAndNamedInTheMessage) {
    const std::string before = "*A\r\nC:\\P\\old.txt\r\n";
    ASSERT_TRUE(WriteWholeFile(LogPath(), before));
    Lines list = {"C:\\P\\new.txt"};
    UpdateLogResult result;
    {
        HeldOpen locked(LogPath());
        result = WriteUpdateLog(list, 2.0, folder_.Path());
    }
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find(LogPath()), std::string::npos) << result.message;
    EXPECT_NE(result.message.find("could not be read"), std::string::npos) << result.message;
    EXPECT_EQ(LogText(), before);
    EXPECT_EQ(Entries(folder_.Path()), Lines{"Update.log"});
}

}  // namespace
}  // namespace qwp::test
