// Other programs and users on the same machine, and the machine's own
// events, meeting the real setup: an object of another kind made first under
// the name of its lock, and the Windows session ending during a "/P" run.
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

// The "/P" window refuses the end of the session while it shows; when the
// session ends all the same, what was installed is recorded before the
// window answers, since the process is ended right after. (This process
// survives the message, so the run then goes on to its own end.)
TEST_F(Neighbours, ProgressWindowRefusesTheEndOfTheSessionAndRecordsWhenItEnds) {
    DWORD_PTR query = 99;
    bool sent = false, ended = false, recordedAtAnswer = false;
    const RunSeen run = WatchSetup(
        DestinationArgument() + " /P " + log_.Switch(), kInstallTimeout,
        [&](const ChildProcess&, const std::vector<HWND>& windows) {
            for (HWND window : windows) {
                if (sent || WindowClass(window) != kProgressClass) continue;
                sent = true;
                SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, &query);
                DWORD_PTR ignored = 0;
                ended = SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000,
                                            &ignored) != 0;
                recordedAtAnswer = FileExists(InDestination("Install.log")) &&
                                   UninstallEntryValue("UninstallString") != "absent" && KeyExists(kInstallKey);
            }
        });
    ASSERT_TRUE(sent) << "the progress window was not seen";
    EXPECT_EQ(query, 0u) << "the end of the session was not refused";
    EXPECT_TRUE(ended);
    EXPECT_TRUE(recordedAtAnswer) << "not recorded when the window answered the end of the session";
    EXPECT_TRUE(run.exitCode == 0 || run.exitCode == 5) << run.exitCode;
    EXPECT_EQ(Lower(StoredValue("MAINDIR")), Lower("REG_SZ:" + Destination()));
    EXPECT_NE(UninstallEntryValue("UninstallString"), "absent");
    EXPECT_TRUE(FileExists(InDestination("Install.log")));
}

}  // namespace
}  // namespace qwp::test::unattended
