#include "instutils/LogText.h"

#include <gtest/gtest.h>

namespace qwp {
namespace {

using Lines = std::vector<std::string>;

TEST(LogText, SplitsAtCrLfCrAndLfAndStopsAtNul) {
    EXPECT_EQ(SplitLogText("a\r\nb\rc\nd\r\n"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLogText("a\r\r\n\nb"), (Lines{"a", "", "", "b"}));
    EXPECT_EQ(SplitLogText("\r\nlast"), (Lines{"", "last"}));
    EXPECT_EQ(SplitLogText(std::string("a\r\nb\0c\r\n", 8)), (Lines{"a", "b"}));
    EXPECT_EQ(SplitLogText(""), Lines{});
}

TEST(LogText, JoinEndsEveryLineWithCrLf) {
    const Lines lines{"File Copy: C:\\Q\\qwp.exe", "", "Made Dir: C:\\Q\\"};
    EXPECT_EQ(JoinLogLines(lines), "File Copy: C:\\Q\\qwp.exe\r\n\r\nMade Dir: C:\\Q\\\r\n");
    EXPECT_EQ(SplitLogText(JoinLogLines(lines)), lines);
}

}  // namespace
}  // namespace qwp
