// The Update.log merge without the file system: the stamp line, and every
// merge rule as one table of existing log, new list and resulting log.
#include "instutils/LogText.h"
#include "registration/UpdateLogMerge.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace qwp {
namespace {

using Lines = std::vector<std::string>;

// Case ignored, byte order otherwise: what the locale comparison does for
// the plain ASCII paths of these cases.
int IgnoringCase(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int ca = std::toupper(static_cast<unsigned char>(a[i]));
        const int cb = std::toupper(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string Show(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines) text += "[" + line + "]";
    return text;
}

TEST(UpdateLogStampLine, SixteenUpperCaseDigitsInMemoryOrder) {
    // 2023-03-15 12:00 is the double 45000.5, 0x40E5F91000000000.
    EXPECT_EQ(UpdateLogStampLine(45000.5), "*0000000010F9E540");
    EXPECT_EQ(UpdateLogStampLine(0.0), "*0000000000000000");
    // -0.5 is 0xBFE0000000000000: upper-case digits, high nibble first.
    EXPECT_EQ(UpdateLogStampLine(-0.5), "*000000000000E0BF");
}

struct MergeCase {
    const char* name;
    Lines existing;  // lines of the file as read
    Lines list;      // this installation's list, unsorted
    Lines expected;  // the file afterwards
};

const char kNew[] = "*NEW";

TEST(UpdateLogMerge, EveryRuleOfTheMerge) {
    const MergeCase cases[] = {
        {"no file yet: the stamp and the sorted list",
         {},
         {"C:\\P\\c.txt", "C:\\P\\a.txt", "C:\\P\\b.txt"},
         {kNew, "C:\\P\\a.txt", "C:\\P\\b.txt", "C:\\P\\c.txt"}},
        {"the only block written again: its stamp goes as a trailing stamp",
         {"*OLD", "C:\\P\\a.txt", "C:\\P\\b.txt"},
         {"C:\\P\\b.txt", "C:\\P\\a.txt"},
         {kNew, "C:\\P\\a.txt", "C:\\P\\b.txt"}},
        {"block A emptied: B's stamp goes and p3 follows A's stamp",
         {"*A", "p1", "p2", "*B", "p3"},
         {"p2", "p1"},
         {"*A", "p3", kNew, "p1", "p2"}},
        {"a run of three stamps keeps the first",
         {"*A", "p1", "*B", "p2", "*C", "p3", "p4"},
         {"p1", "p2"},
         {"*A", "p3", "p4", kNew, "p1", "p2"}},
        {"another letter case is the same path",
         {"*OLD", "C:\\P\\Kept.txt", "c:\\p\\MOVED.TXT"},
         {"C:\\P\\moved.txt"},
         {"*OLD", "C:\\P\\Kept.txt", kNew, "C:\\P\\moved.txt"}},
        {"empty lines disappear",
         {"", "*OLD", "", "p1", "", ""},
         {"p2"},
         {"*OLD", "p1", kNew, "p2"}},
        {"a path with the tab-and-! ending is another line",
         {"*OLD", "p1\t!", "p2"},
         {"p1", "p2\t!"},
         {"*OLD", "p1\t!", "p2", kNew, "p1", "p2\t!"}},
        {"blocks not touched stay as they were",
         {"*A", "p1", "*B", "p2"},
         {"p3"},
         {"*A", "p1", "*B", "p2", kNew, "p3"}},
        {"a file of stamps only keeps none of them",
         {"*A", "*B", "", "*C"},
         {"p1"},
         {kNew, "p1"}},
        {"a line that only starts with * counts as a stamp",
         {"*A", "p1", "*not a stamp really", "p2"},
         {"p2"},
         {"*A", "p1", kNew, "p2"}},
    };
    for (const MergeCase& c : cases) {
        Lines list = c.list;
        SortSharedList(list, IgnoringCase);
        const Lines merged = MergeUpdateLog(c.existing, list, kNew, IgnoringCase);
        EXPECT_EQ(Show(merged), Show(c.expected)) << c.name;
    }
}

TEST(UpdateLogMerge, ReadBackFromTextWithAnyLineEnd) {
    // CR, LF and CR LF each end a line when read; a NUL ends the text.
    const Lines read = SplitLogText(std::string("*A\rp1\np2\r\n\r\n*B\r\np3\r\n\0garbage\r\n", 30));
    Lines list = {"P2"};
    SortSharedList(list, IgnoringCase);
    const Lines merged = MergeUpdateLog(read, list, kNew, IgnoringCase);
    EXPECT_EQ(Show(merged), Show({"*A", "p1", "*B", "p3", kNew, "P2"}));
    EXPECT_EQ(JoinLogLines(merged), "*A\r\np1\r\n*B\r\np3\r\n*NEW\r\nP2\r\n");
}

TEST(UpdateLogMerge, SortedListSearchFindsEveryEntryAndNothingElse) {
    Lines list = {"d", "B", "a", "C", "e", "b2"};
    SortSharedList(list, IgnoringCase);
    EXPECT_EQ(Show(list), "[a][B][b2][C][d][e]");
    for (const char* present : {"A", "b", "B2", "c", "D", "e"})
        EXPECT_TRUE(SortedListContains(list, present, IgnoringCase)) << present;
    for (const char* absent : {"", "0", "b1", "bb", "f", "e "})
        EXPECT_FALSE(SortedListContains(list, absent, IgnoringCase)) << absent;
    EXPECT_FALSE(SortedListContains({}, "a", IgnoringCase));
}

}  // namespace
}  // namespace qwp
