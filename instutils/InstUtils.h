// The installer utilities: path texts and special folders, the install log,
// disk, drive and size queries, files, temporary files and shortcuts. None of
// them shows a message; failures give the empty text, -1 or false.
#pragma once

#include "instutils/DiskQueries.h"
#include "instutils/EntryPoints.h"
#include "instutils/Files.h"
#include "instutils/InstallLog.h"
#include "instutils/PathText.h"
#include "instutils/Paths.h"
#include "instutils/PortableDrive.h"
#include "instutils/Shortcuts.h"
#include "instutils/SizeText.h"
#include "instutils/TempFiles.h"

namespace qwp {

// Looks up the system functions the utilities need by name. Called once at
// process start, after OLE is up and before any window exists. Nothing else
// needs setting up: the log and the folder stack do not exist until first
// used, and the suppression counter starts at zero.
void InitInstUtils();

// Frees the install log and the folder stack and clears the log path.
void FinalizeInstUtils();

}  // namespace qwp
