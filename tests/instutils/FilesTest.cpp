#include "tests/instutils/InstUtilsFixture.h"
#include "tests/support/LinkTargets.h"

namespace qwp::test {
namespace {

using FilesTest = InstUtilsTest;

TEST_F(FilesTest, WriteBytesToFileReplacesTheWholeContent) {
    const std::string path = scratch_ / "stamp", bytes("\x01\0\x02\0\xff\0\r\n", 8);
    ASSERT_TRUE(WriteWholeFile(path, std::string(100, 'o')));
    EXPECT_TRUE(WriteBytesToFile(path, bytes));
    EXPECT_EQ(ReadWholeFile(path), bytes);
}

// A folder of the file's name, or no folder for it: nothing is written.
TEST_F(FilesTest, WriteBytesToFileTellsWhenItCannotWrite) {
    const std::string folder = scratch_ / "folder", missing = scratch_ / "missing\\file";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    for (const std::string& path : {folder, missing}) {
        EXPECT_FALSE(WriteBytesToFile(path, "data")) << path;
        EXPECT_EQ(ReadWholeFile(path), "") << path;
    }
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

// A series of folders makes and logs what ForceFolders would, folder by
// folder, and after Forget asks the system again.
TEST_F(FilesTest, AFolderSeriesMakesAndLogsWhatForceFoldersWould) {
    const std::string root = scratch_ / "series\\";
    ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((root + "old").c_str(), nullptr));
    struct Step {
        const char* folder;
        int made;
        Lines logged;
    };
    const Step steps[] = {
        {"A\\B\\", 2, {"A\\", "A\\B\\"}},
        {"A\\C\\", 1, {"A\\C\\"}},
        {"a\\b\\", 0, {}},  // made already, in other case
        {"old\\D\\E\\", 2, {"old\\D\\", "old\\D\\E\\"}},
        {"old\\", 0, {}},
        {"A\\C\\F", 1, {"A\\C\\F"}},  // without its backslash
    };
    FolderSeries series;
    for (const Step& step : steps) {
        StartLog();
        EXPECT_EQ(series.Force(root + step.folder), step.made) << step.folder;
        Lines expected;
        for (const std::string& name : step.logged) expected.push_back("Made Dir: " + root + name);
        EXPECT_EQ(Log(), expected) << step.folder;
        EXPECT_TRUE(FolderExists(root + step.folder)) << step.folder;
    }

    // Removed behind the series' back: only asking again finds it missing.
    ASSERT_TRUE(RemoveDirectoryA((root + "A\\C\\F").c_str()));
    ASSERT_TRUE(RemoveDirectoryA((root + "A\\C").c_str()));
    StartLog();
    EXPECT_EQ(series.Force(root + "A\\C\\"), 0);
    EXPECT_FALSE(FolderExists(root + "A\\C\\"));
    series.Forget();
    EXPECT_EQ(series.Force(root + "A\\C\\"), 1);
    EXPECT_EQ(Log(), Lines{"Made Dir: " + root + "A\\C\\"});
    EXPECT_TRUE(FolderExists(root + "A\\C\\"));
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

// Links inside the tree, and a tree named by a link: what they point at lies
// outside and must survive.
TEST_F(FilesTest, DeleteFolderTreeNeverReachesThroughLinks) {
    const LinkTargets outside(scratch_ / "outside\\");
    const std::string root = scratch_ / "tree\\";
    ForceFolders(root + "sub\\");
    ASSERT_TRUE(WriteWholeFile(root + "sub\\plain.txt", "plain"));
    UnixLinks links;
    if (const std::string why = links.Make({{outside.full, root + "sub\\full"},
                                            {outside.empty, root + "empty"},
                                            {outside.file, root + "file.txt"},
                                            {outside.full, scratch_ / "toplink"}});
        !why.empty())
        GTEST_SKIP() << why;
    ASSERT_EQ(Attributes(root + "sub\\full"), "0x410") << "Wine shows a link to a folder as a reparse point";

    DeleteFolderTree(root);
    DeleteFolderTree(scratch_ / "toplink\\");  // the folder named is itself a link
    EXPECT_EQ(Attributes(root + "sub\\plain.txt"), "0xffffffff");
    EXPECT_EQ(outside.Damage(), "");
}

}  // namespace
}  // namespace qwp::test
