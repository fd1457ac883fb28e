#include "tests/instutils/InstUtilsFixture.h"

namespace qwp::test {
namespace {

using PathsTest = InstUtilsTest;

TEST_F(PathsTest, SameNameIgnoresCaseButNothingElse) {
    EXPECT_TRUE(SameName("readme.TXT", "README.txt"));
    EXPECT_FALSE(SameName("C:\\A", "C:\\A\\"));
    EXPECT_FALSE(SameName("abc", "ab"));
    EXPECT_FALSE(SameName("a*", "abc"));
    if (GetACP() == 1252) {
        EXPECT_TRUE(SameName("r\xe9sum\xe9", "R\xc9SUM\xc9"));  // upper-cased by the locale, not as ASCII
    }
}

TEST_F(PathsTest, FolderExistsAnswersWithoutMovingTheCurrentDirectory) {
    const std::string folder = scratch_.Path();
    std::string upper = folder;
    CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
    ASSERT_TRUE(WriteWholeFile(folder + "file.txt", "x"));
    CreateDirectoryA((folder + "sub").c_str(), nullptr);
    SetCurrentDirectoryA(folder.c_str());
    const std::string inside = GetCurrentFolder();
    const std::pair<std::string, bool> cases[] = {
        {upper, true}, {folder + "sub", true}, {folder + "file.txt", false}, {folder + "missing", false},
        {"sub", false},  // relative, though it exists below the current directory
        {folder + "sub\\..\\sub", false}, {"", false}, {folder + std::string(300, 'a'), false},
    };
    for (const auto& [path, exists] : cases) {
        EXPECT_EQ(FolderExists(path), exists) << path;
        EXPECT_EQ(GetCurrentFolder(), inside) << "after " << path;
    }
}

TEST_F(PathsTest, TempFolderFallsBackToDocumentsThenToNothing) {
    RedirectTemp(scratch_.Path());
    EXPECT_EQ(GetTempFolder(), scratch_.Path());
    RedirectTemp(scratch_ / "missing");
    EXPECT_EQ(GetTempFolder(), GetSpecialFolder(5) + "\\");
    EXPECT_EQ(GetSpecialFolder(0x7ffe), "");

    const SHGetFolderPathAFn saved = SpecialFolderEntry;
    SpecialFolderEntry = nullptr;  // as on a system where no library has it
    const std::string folder = GetSpecialFolder(5), temp = GetTempFolder();
    SpecialFolderEntry = saved;
    EXPECT_EQ(folder, "");
    EXPECT_EQ(temp, "");
}

}  // namespace
}  // namespace qwp::test
