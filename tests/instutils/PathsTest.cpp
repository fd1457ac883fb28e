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

// The answer without a call for ASCII texts must be the system's own: every
// pair of printable ASCII characters, alone and after a byte above 0x7F,
// compared with what CharUpperBuffA makes of them.
TEST_F(PathsTest, SameNameAnswersAsTheSystemsUpperCasing) {
    auto upper = [](std::string text) {
        CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
        return text;
    };
    for (const std::string& lead : {std::string("C:\\"), std::string("\xe9"), std::string("x\x82")}) {
        for (int a = 0x20; a < 0x7f; ++a) {
            for (int b = 0x20; b < 0x7f; ++b) {
                const std::string x = lead + static_cast<char>(a) + "z", y = lead + static_cast<char>(b) + "Z";
                ASSERT_EQ(SameName(x, y), upper(x) == upper(y)) << std::hex << a << " " << b << " after " << lead;
            }
        }
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
