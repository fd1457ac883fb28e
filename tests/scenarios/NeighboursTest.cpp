// Other programs and users on the same machine meeting the real setup: an
// object of another kind made first under the name of its lock.
#include "setup/SingleInstance.h"
#include "tests/scenarios/UnattendedScenario.h"

namespace qwp::test::unattended {
namespace {

class Neighbours : public UnattendedTest {};

// Where the system has private namespaces, nobody but an administrator can
// make the lock's name, and the event changes nothing. Without them (Wine),
// the global name is taken by an event: the setup cannot tell whether
// another setup runs and ends as failed, saying why, rather than as "another
// setup is running" for ever.
TEST_F(Neighbours, AnEventUnderTheLocksNameIsNoSecondSetup) {
    UniqueKernelHandle squatter(CreateEventA(nullptr, TRUE, FALSE, kGlobalSetupMutexName));
    ASSERT_TRUE(squatter);
    const RunSeen run = WatchSetup(DestinationArgument() + " /S " + log_.Switch(), kInstallTimeout);
    EXPECT_EQ(Joined(run.shown, "; "), "");
    if (SystemLockCalls().createNamespace) {
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_EQ(log_.LastLine(), "Exit: 0 (installed)");
        return;
    }
    EXPECT_EQ(run.exitCode, 1u);
    const std::vector<std::string> lines = log_.Lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "Single setup: no private namespaces on this system: Global\\QuilvaneWordProcessorSetup"),
              lines.end());
    EXPECT_EQ(log_.LastLine(),
              "Exit: 1 (setup failed: the lock against a second setup could not be made (error 6))");
    EXPECT_FALSE(FolderExists(Destination()));
    EXPECT_FALSE(KeyExists(kProductKey));
}

}  // namespace
}  // namespace qwp::test::unattended
