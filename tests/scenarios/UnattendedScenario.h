// The unattended runs of the real setup ("/S", "/P") start from no
// installation at all and leave none, each with a scratch destination of
// its own.
#pragma once

#include "instutils/Files.h"
#include "instutils/Handles.h"
#include "instutils/PathText.h"
#include "instutils/Paths.h"
#include "tests/registration/PostInstallTraces.h"
#include "tests/support/InstalledFiles.h"
#include "tests/support/Installation.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/ProgramCopies.h"
#include "tests/support/RegistryScratch.h"
#include "tests/support/Screens.h"
#include "tests/support/SetupWalk.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Text.h"
#include "tests/support/UnattendedRun.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace qwp::test::unattended {

// The scratch destination does not exist yet, and its name has a space, so
// it must be quoted on the command line. A run asked for a log writes it
// into the scratch folder.
class UnattendedTest : public NoInstallationTest {
protected:
    std::string Destination() const { return scratch_ / "Quilvane Dest"; }
    std::string DestinationArgument() const { return Quoted("-d" + Destination()); }
    std::string InDestination(const std::string& name) const { return JoinPath(Destination(), name); }

    TempFolder scratch_;
    RunLogFile log_{scratch_ / "run.log"};
};

}  // namespace qwp::test::unattended
