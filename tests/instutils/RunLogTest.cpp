#include "instutils/RunLog.h"

#include "tests/instutils/InstUtilsFixture.h"

namespace qwp::test {
namespace {

using RunLogTest = InstUtilsTest;

// Each line is in the file as soon as it is logged: a run killed half way
// leaves what it did up to then. An earlier run's log is replaced at the
// start, not at the end.
TEST_F(RunLogTest, LinesReachTheFileAsTheyHappenOnlyWhenAskedFor) {
    const std::string path = scratch_ / "run.log";
    RunLogLine("Ignored", "no log was asked for");
    EXPECT_FALSE(RunLogActive());
    EXPECT_FALSE(FinishRunLog());
    EXPECT_TRUE(StartRunLog(""));
    EXPECT_FALSE(RunLogActive());

    ASSERT_TRUE(WriteWholeFile(path, "an earlier run's log, longer than this one\r\n"));
    ASSERT_TRUE(StartRunLog(path));
    EXPECT_TRUE(RunLogActive());
    EXPECT_EQ(ReadWholeFile(path), "") << "the earlier log is gone when the run starts";
    RunLogLine("Copied", "C:\\Q\\a.txt");
    EXPECT_EQ(ReadWholeFile(path), "Copied: C:\\Q\\a.txt\r\n") << "written before the run ends";
    RunLogLine("Message", "first line\rsecond line\r\nthird");
    EXPECT_TRUE(FinishRunLog());
    EXPECT_EQ(ReadWholeFile(path), "Copied: C:\\Q\\a.txt\r\nMessage: first line second line  third\r\n");
    EXPECT_FALSE(RunLogActive());
    RunLogLine("After", "the end");
    EXPECT_EQ(ReadWholeFile(path), "Copied: C:\\Q\\a.txt\r\nMessage: first line second line  third\r\n");
}

TEST_F(RunLogTest, AnUnwritableLogIsReportedAndLeavesNothingBehind) {
    EXPECT_FALSE(StartRunLog(scratch_ / "missing folder\\run.log"));
    EXPECT_FALSE(RunLogActive());
    RunLogLine("Exit", "0 (installed)");
    EXPECT_FALSE(FinishRunLog());
    EXPECT_TRUE(Entries(scratch_.Path()).empty());
}

}  // namespace
}  // namespace qwp::test
