#include "instutils/RunLog.h"

#include "tests/instutils/InstUtilsFixture.h"

namespace qwp::test {
namespace {

using RunLogTest = InstUtilsTest;

TEST_F(RunLogTest, LinesGoToTheFileOnlyWhenAskedForAndOneStepAtTheEnd) {
    const std::string path = scratch_ / "run.log";
    RunLogLine("Ignored", "no log was asked for");
    EXPECT_FALSE(RunLogActive());
    EXPECT_FALSE(FinishRunLog());
    StartRunLog("");
    EXPECT_FALSE(RunLogActive());

    ASSERT_TRUE(WriteWholeFile(path, "an earlier run's log, longer than this one\r\n"));
    StartRunLog(path);
    EXPECT_TRUE(RunLogActive());
    RunLogLine("Copied", "C:\\Q\\a.txt");
    RunLogLine("Message", "first line\rsecond line\r\nthird");
    EXPECT_EQ(ReadWholeFile(path), "an earlier run's log, longer than this one\r\n") << "written only at the end";
    EXPECT_TRUE(FinishRunLog());
    EXPECT_EQ(ReadWholeFile(path), "Copied: C:\\Q\\a.txt\r\nMessage: first line second line  third\r\n");
    EXPECT_FALSE(RunLogActive());
    RunLogLine("After", "the end");
    EXPECT_EQ(ReadWholeFile(path), "Copied: C:\\Q\\a.txt\r\nMessage: first line second line  third\r\n");
}

TEST_F(RunLogTest, AnUnwritableLogIsReportedAndLeavesNothingBehind) {
    StartRunLog(scratch_ / "missing folder\\run.log");
    RunLogLine("Exit", "0 (installed)");
    EXPECT_FALSE(FinishRunLog());
    EXPECT_FALSE(RunLogActive());
    EXPECT_TRUE(Entries(scratch_.Path()).empty());
}

}  // namespace
}  // namespace qwp::test
