// What the scenarios that work the real setup's wizard from outside use:
// a run of the setup, the places an installation writes and their removal,
// the stand-in word processor, and the registry snapshots to compare before
// and after. Pictures, when wanted, go under screens/<scenario>/<arch>/
// beside the build folder.
#pragma once

#include "instutils/Files.h"
#include "instutils/Handles.h"
#include "instutils/PathText.h"
#include "instutils/Paths.h"
#include "tests/registration/PostInstallTraces.h"
#include "tests/support/Installation.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/ProgramCopies.h"
#include "tests/support/RegistrySnapshot.h"
#include "tests/support/Screens.h"
#include "tests/support/SetupRun.h"
#include "tests/support/SetupWalk.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Text.h"
#include "wizard/ControlIds.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>
