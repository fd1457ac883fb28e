// The switches of an unattended run among the program's arguments.
#include "setup/CommandLine.h"

#include <gtest/gtest.h>

namespace qwp {
namespace {

TEST(CommandLine, SwitchesStandAnywhereAndIgnoreCase) {
    EXPECT_EQ(RunMode::Wizard, ParseSetupOptions({}).mode);
    EXPECT_EQ(RunMode::Silent, ParseSetupOptions({"/S"}).mode);
    EXPECT_EQ(RunMode::Silent, ParseSetupOptions({"-dC:\\Apps\\Quilvane", "/s"}).mode);
    EXPECT_EQ(RunMode::Progress, ParseSetupOptions({"x", "/p", "y"}).mode);
    // The quieter run wins, whatever the order.
    EXPECT_EQ(RunMode::Silent, ParseSetupOptions({"/P", "/S"}).mode);
    EXPECT_EQ(RunMode::Silent, ParseSetupOptions({"/S", "/P"}).mode);

    const SetupOptions logged = ParseSetupOptions({"/log=C:\\a b\\run.log", "/S"});
    EXPECT_EQ("C:\\a b\\run.log", logged.logPath);
    EXPECT_EQ("D:\\second.log", ParseSetupOptions({"/LOG=C:\\first.log", "/Log=D:\\second.log"}).logPath);
}

TEST(CommandLine, LookalikesAreNotSwitches) {
    // Only the exact switches count: a folder or a longer word that starts
    // like one must not turn a wizard run into an unattended install.
    for (const char* arg : {"/Silent", "/SP", "-S", "S", "/", "/PS", "-d/S", "/LOG", "/LOGS=x"}) {
        const SetupOptions options = ParseSetupOptions({arg});
        EXPECT_EQ(RunMode::Wizard, options.mode) << arg;
        EXPECT_TRUE(options.logPath.empty()) << arg;
    }
}

}  // namespace
}  // namespace qwp
