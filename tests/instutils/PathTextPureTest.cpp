#include "instutils/PathText.h"

#include <gtest/gtest.h>

namespace qwp {
namespace {

TEST(PathText, FolderTextsGetExactlyOneTrailingBackslash) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""}, {"C:", "C:\\"}, {"C:\\", "C:\\"}, {"C:\\Temp/", "C:\\Temp\\"}, {"C:\\Temp", "C:\\Temp\\"},
        {"C:\\A\\\\", "C:\\A\\\\"},  // only the last character is looked at
    };
    for (auto [path, expected] : cases) {
        AddTrailingBackslash(path);
        EXPECT_EQ(path, expected);
    }
    EXPECT_EQ(JoinPath("C:\\A", "b.txt"), "C:\\A\\b.txt");
    EXPECT_EQ(JoinPath("C:\\A\\", "b.txt"), "C:\\A\\b.txt");
    EXPECT_EQ(JoinPath("", "b.txt"), "b.txt");
}

// Under ASan a fixed buffer behind any of these would show with the long path.
TEST(PathText, PartsAndCharacterEditsOfShortEmptyAndLongTexts) {
    std::string empty;
    DeleteFirstChar(empty);
    DeleteLastChar(empty);
    EXPECT_EQ(empty, "");
    EXPECT_EQ(LastChar(empty), '\0');
    EXPECT_EQ(FolderPart("C:\\A\\b.lnk"), "C:\\A\\");
    EXPECT_EQ(FolderPart("X:b"), "X:");
    EXPECT_EQ(FolderPart("b.lnk"), "");
    EXPECT_EQ(DrivePart("c:\\x"), "c:");
    EXPECT_EQ(DrivePart("\\\\server\\share\\x"), "\\\\server\\share");
    EXPECT_EQ(DrivePart("\\\\server\\share"), "\\\\server\\share");
    EXPECT_EQ(DrivePart("x\\y"), "");
    const std::string longFolder = "C:\\" + std::string(300, 'a');
    EXPECT_EQ(FolderPart(JoinPath(longFolder, "b")), longFolder + "\\");
    EXPECT_EQ(DrivePart("\\\\" + std::string(300, 's') + "\\t\\x").size(), 304u);
}

}  // namespace
}  // namespace qwp
