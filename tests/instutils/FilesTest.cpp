#include "tests/instutils/InstUtilsFixture.h"

namespace qwp::test {
namespace {

using FilesTest = InstUtilsTest;

TEST_F(FilesTest, WriteBytesToFileReplacesTheWholeContent) {
    const std::string path = scratch_ / "stamp", bytes("\x01\0\x02\0\xff\0\r\n", 8);
    ASSERT_TRUE(WriteWholeFile(path, std::string(100, 'o')));
    WriteBytesToFile(path, bytes);
    EXPECT_EQ(ReadWholeFile(path), bytes);
}

TEST_F(FilesTest, ForceFoldersCreatesAndLogsOutermostFirst) {
    StartLog();
    const std::string a = scratch_ / "A\\", b = a + "B\\";
    ForceFolders(b);
    ForceFolders(a + "b");  // exists, in other case and without the backslash
    ForceFolders("");
    EXPECT_TRUE(FolderExists(b));
    EXPECT_EQ(Log(), (Lines{"Made Dir: " + a, "Made Dir: " + b}));

    SuppressLog();
    ForceFolders(b + "C\\");
    ResumeLog();
    EXPECT_TRUE(FolderExists(b + "C\\"));
    EXPECT_EQ(Log().size(), 2u);
}

TEST_F(FilesTest, ForceFoldersOfAnOverlongPathLogsEveryAttempt) {
    StartLog();
    std::string path = scratch_.Path();
    Lines expected;
    while (path.size() < 300) expected.push_back("Made Dir: " + (path += "abcdefghij\\"));
    ForceFolders(path);
    EXPECT_EQ(Log(), expected);
}

TEST_F(FilesTest, DeleteFolderTreeLeavesOnlyReadOnlyFilesAndTheirFolders) {
    const std::string root = scratch_ / "tree\\";
    ForceFolders(root + "a\\b\\");
    ForceFolders(root + "keep\\");
    ASSERT_TRUE(WriteWholeFile(root + "a\\b\\2.txt", "2"));
    ASSERT_TRUE(WriteWholeFile(root + "keep\\ro.txt", "r"));
    SetFileAttributesA((root + "keep\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    DeleteFolderTree(root);
    EXPECT_EQ(Entries(root), Lines{"keep"});
    SetFileAttributesA((root + "keep\\ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFolderTree(scratch_ / "tree");
    EXPECT_EQ(Attributes(root), "0xffffffff");
}

// Link targets lie outside the tree and must survive: a folder with a file,
// an empty folder (Wine's RemoveDirectoryA on a link removes an empty target)
// and a file (Wine's DeleteFileA on a link deletes the target).
TEST_F(FilesTest, DeleteFolderTreeNeverReachesThroughLinks) {
    const std::string outside = scratch_ / "outside\\", root = scratch_ / "tree\\";
    ForceFolders(outside + "full\\");
    ForceFolders(outside + "empty\\");
    ForceFolders(root + "sub\\");
    ASSERT_TRUE(WriteWholeFile(outside + "full\\precious.txt", "precious"));
    ASSERT_TRUE(WriteWholeFile(outside + "file.txt", "file"));
    ASSERT_TRUE(WriteWholeFile(root + "sub\\plain.txt", "plain"));
    for (const auto& [target, link] : {std::pair{outside + "full", root + "sub\\full"},
                                       std::pair{outside + "empty", root + "empty"},
                                       std::pair{outside + "file.txt", root + "file.txt"},
                                       std::pair{outside + "full", scratch_ / "toplink"}})
        if (const std::string why = MakeUnixSymlink(target, link); !why.empty()) GTEST_SKIP() << why;
    ASSERT_EQ(Attributes(root + "sub\\full"), "0x410") << "Wine shows a link to a folder as a reparse point";

    DeleteFolderTree(root);
    DeleteFolderTree(scratch_ / "toplink\\");  // the folder named is itself a link
    EXPECT_EQ(Attributes(root + "sub\\plain.txt"), "0xffffffff");
    EXPECT_EQ(ReadWholeFile(outside + "full\\precious.txt"), "precious");
    EXPECT_TRUE(FolderExists(outside + "empty")) << Attributes(outside + "empty");
    EXPECT_EQ(ReadWholeFile(outside + "file.txt"), "file");
    RemoveUnixTree(root);
    RemoveUnixTree(scratch_ / "toplink");
}

}  // namespace
}  // namespace qwp::test
