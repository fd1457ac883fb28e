// The exit codes of the setup program. The wizard ends with 0 (2 for a
// damaged setup, 1 when it failed); an unattended run tells by its code what
// happened, since nobody saw it.
#pragma once

namespace qwp {

constexpr int kExitSuccess = 0;
constexpr int kExitSetupFailed = 1;          // an unexpected error ended the run; the log names it
constexpr int kExitPayloadDamaged = 2;       // nothing written
constexpr int kExitWordProcessorRunning = 3; // nothing written
constexpr int kExitNoDiskSpace = 4;          // nothing written; also a drive that cannot be asked
constexpr int kExitFileNotWritten = 5;       // stopped as after Abort: copies so far, choices and Install.log kept
constexpr int kExitAlreadyRunning = 6;       // another setup of the product runs; nothing written
constexpr int kExitBadDestination = 7;       // the destination folder is not one a file can go into; nothing written
constexpr int kExitBadArgument = 8;          // an unknown switch; the usage was shown (not with "/S"); nothing written
constexpr int kExitNotRecorded = 9;          // installed, but something beside the copies was not written or started

}  // namespace qwp
