#include "instutils/PathText.h"

#include "tests/instutils/CodePageTables.h"

#include <gtest/gtest.h>

namespace qwp {
namespace {

using test::kPortable;
using test::kPresentation;
using test::kTable;

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

// The same texts read in Shift-JIS and in a single-byte code page: a second
// byte 0x5C or 0x7C is part of its character in the one, a backslash or a
// bar in the other.
TEST(PathText, TwoByteCharactersAreReadWholeInTheirCodePage) {
    const AnsiCodePage japanese = test::ShiftJis(), western = test::Windows1252();
    const std::string presentation = std::string("C:\\") + kPresentation;  // ends in 0x95 0x5C
    const std::string portable = std::string("C:\\") + kPortable;          // holds 0x83 0x7C
    const std::string inTable = std::string("C:\\") + kTable + "\\b.txt";
    const std::string inTableCut = std::string("C:\\") + kTable + "\\b.tx";
    const struct {
        const char* codePage;
        std::string text;
        std::string withBackslash;  // AddTrailingBackslash
        std::string folderPart;
        char lastChar;
        std::string lastDeleted;  // DeleteLastChar
        std::size_t characters;
    } cases[] = {
        {"932", presentation, presentation + "\\", "C:\\", '\x95', "C:\\\x94\xAD", 5},
        {"1252", presentation, presentation, "C:\\\x94\xAD\x95\\", '\\', "C:\\\x94\xAD\x95", 7},
        {"932", portable, portable + "\\", "C:\\", '\x83', "C:\\\x83\x7C\x81\x5B\x83\x5E\x83\x75", 8},
        {"932", inTable, inTable + "\\", std::string("C:\\") + kTable + "\\", 't', inTableCut, 10},
        {"1252", inTable, inTable + "\\", std::string("C:\\") + kTable + "\\", 't', inTableCut, 11},
        // A lead byte at the very end has no second byte: it stands alone.
        {"932", "C:\\A\x95", "C:\\A\x95\\", "C:\\", '\x95', "C:\\A", 5},
        {"932", "C:\\A/", "C:\\A\\", "C:\\", '/', "C:\\A", 5},
        {"932", "", "", "", '\0', "", 0},
    };
    for (const auto& c : cases) {
        const AnsiCodePage& codePage = std::string(c.codePage) == "932" ? japanese : western;
        SCOPED_TRACE(std::string(c.codePage) + ": " + c.text);
        std::string text = c.text;
        AddTrailingBackslash(text, codePage);
        EXPECT_EQ(text, c.withBackslash);
        EXPECT_EQ(JoinPath(c.text, "Quilvane", codePage), c.text.empty() ? "Quilvane" : c.withBackslash + "Quilvane");
        EXPECT_EQ(FolderPart(c.text, codePage), c.folderPart);
        EXPECT_EQ(LastChar(c.text, codePage), c.lastChar);
        text = c.text;
        DeleteLastChar(text, codePage);
        EXPECT_EQ(text, c.lastDeleted);
        EXPECT_EQ(CharCount(c.text, codePage), c.characters);
    }
    std::string first = std::string(kTable) + "x";
    DeleteFirstChar(first, japanese);
    EXPECT_EQ(first, "x");
    first = std::string(kTable) + "x";
    DeleteFirstChar(first, western);
    EXPECT_EQ(first, "\\x");
}

TEST(PathText, ShareNamesEndAtARealBackslash) {
    const AnsiCodePage japanese = test::ShiftJis();
    const std::string server = std::string("srv") + kTable, share = std::string("sh") + kPresentation;
    EXPECT_EQ(DrivePart("\\\\" + server + "\\" + share + "\\x", japanese), "\\\\" + server + "\\" + share);
    EXPECT_EQ(DrivePart("\\\\" + server + "\\" + share, japanese), "\\\\" + server + "\\" + share);
    EXPECT_EQ(DrivePart("\\\\" + server + "\\" + share + "\\x", test::Windows1252()), "\\\\srv\x95\\");
    EXPECT_EQ(FindCharOf(std::string(kPortable) + "|", "|", 0, japanese), 10u);
    EXPECT_EQ(FindLastCharOf(std::string("|") + kPortable, "|", japanese), 0u);
}

// The helpers without a code page read in the process's, which the setup
// sets at its start.
TEST(PathText, TheProcessCodePageIsTheDefault) {
    const AnsiCodePage before = ProcessCodePage();
    const std::string folder = std::string("C:\\") + kPresentation;
    SetProcessCodePage(test::ShiftJis());
    EXPECT_EQ(JoinPath(folder, "Quilvane"), folder + "\\Quilvane");
    SetProcessCodePage(test::Windows1252());
    EXPECT_EQ(JoinPath(folder, "Quilvane"), folder + "Quilvane");
    SetProcessCodePage(before);
}

}  // namespace
}  // namespace qwp
