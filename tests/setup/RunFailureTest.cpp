// An exception that nothing else caught ends the run as failed (exit code
// 1), named in the run log; only the wizard's run also tells the user, in
// one error message. Nothing reaches the runtime's abort.
#include "instutils/RunLog.h"
#include "setup/RunSetup.h"
#include "tests/support/ScriptedAnswerer.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Text.h"
#include "tests/support/UnattendedRun.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace qwp::test {
namespace {

struct FailureCase {
    const char* name;
    std::function<int()> run;
    const char* reason;  // as the log and the message give it
};

TEST(RunFailure, EscapedExceptionEndsWithCodeOneAndItsReason) {
    const FailureCase cases[] = {
        {"out of memory", []() -> int { throw std::bad_alloc(); }, "There is not enough memory."},
        {"library error", []() -> int { throw std::runtime_error("the wizard window could not be created"); },
         "the wizard window could not be created"},
        {"anything else", []() -> int { throw 42; }, "An unknown error occurred."},
    };
    Application application(GetModuleHandleA(nullptr));
    for (const RunMode mode : {RunMode::Silent, RunMode::Progress, RunMode::Wizard}) {
        for (const FailureCase& c : cases) {
            TempFolder folder;
            SetupOptions options;
            options.mode = mode;
            options.logPath = folder / "run.log";
            ScriptedAnswerer user;
            user.SetFallback(MsgResult::OK);
            StartRunLog(options.logPath);
            EXPECT_EQ(RunReportingFailure(application, options, c.run), 1) << c.name;
            ASSERT_TRUE(FinishRunLog()) << c.name;
            const std::vector<std::string> lines = RunLogLines(options.logPath);
            ASSERT_FALSE(lines.empty()) << c.name;
            EXPECT_EQ(lines.back(), std::string("Exit: 1 (setup failed: ") + c.reason + ")") << c.name;
            if (mode != RunMode::Wizard) {
                EXPECT_TRUE(user.Requests().empty()) << c.name << ": an unattended run shows nothing";
                continue;
            }
            ASSERT_EQ(user.Requests().size(), 1u) << c.name;
            EXPECT_EQ(user.Requests()[0].kind, MsgKind::Error);
            EXPECT_EQ(user.Requests()[0].text, std::string(kSetupFailedMessage) + c.reason);
            EXPECT_EQ(user.Requests()[0].owner, application.Owner());
        }
    }
}

TEST(RunFailure, ARunThatEndsNormallyKeepsItsCode) {
    Application application(GetModuleHandleA(nullptr));
    ScriptedAnswerer user;
    for (const int code : {0, 2, 3, 4, 5, 9})
        EXPECT_EQ(RunReportingFailure(application, SetupOptions{}, [code] { return code; }), code);
    EXPECT_TRUE(user.Requests().empty());
}

}  // namespace
}  // namespace qwp::test
