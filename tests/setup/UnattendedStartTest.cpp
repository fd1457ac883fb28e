// An unattended run in this process on a payload whose word processor is
// plain text: everything is written, but the associations cannot be handed
// to it. Nobody watches such a run, so it ends with 9 naming the command.
#include "instutils/InstallLog.h"
#include "instutils/RunLog.h"
#include "payload/ArchiveFormat.h"
#include "setup/UnattendedRun.h"
#include "tests/registration/PostInstallTraces.h"
#include "tests/support/Installation.h"
#include "tests/support/RegistryScratch.h"
#include "tests/support/UnattendedRun.h"

#include <zlib.h>

#include <cstring>

namespace qwp::test {
namespace {

using UnattendedStart = NoInstallationTest;

TEST_F(UnattendedStart, AssociationsThatCannotBeHandedOverExitNineAndNameTheCommand) {
    std::vector<std::uint8_t> raw, packed(256);
    for (const char* name : {"qwp.exe", "License.txt"})
        archive::AppendEntry(raw, name, 45000.0, reinterpret_cast<const std::uint8_t*>(name), std::strlen(name));
    uLongf size = packed.size();
    ASSERT_EQ(compress2(packed.data(), &size, raw.data(), raw.size(), 9), Z_OK);
    const TAttachedFiles catalogue(packed.data(), size);
    RegistryScratch user;
    ASSERT_TRUE(user.Active());
    UserDesktopRedirect desktop;
    TempFolder scratch;
    SetupOptions options;
    options.mode = RunMode::Silent;
    options.hasDestDir = true;
    options.destDir = scratch / "Quilvane";
    const RunLogFile log(scratch / "run.log");
    ASSERT_TRUE(StartRunLog(log.Path()));
    {
        InstallSession session(catalogue);
        EXPECT_EQ(RunUnattended(session, options, nullptr), 9);
    }
    FinishRunLog();
    CloseInstallLog();

    const std::string command = "\"" + options.destDir + "\\qwp.exe\" -assoc qdpr_cod";
    EXPECT_EQ(log.Starts(), std::vector<std::string>{command + " (could not be started)"});
    EXPECT_EQ(LinesOfKind(log.Lines(), "Failure"),
              std::vector<std::string>{"The files of Quilvane Word Processor are installed, but setup could not record "
                                       "all of the installation: the document associations (" + command + ")"});
}

}  // namespace
}  // namespace qwp::test
