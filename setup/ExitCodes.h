// The exit codes of the setup program. The wizard always ends with 0; an
// unattended run tells by its code what happened, since nobody saw it.
#pragma once

namespace qwp {

constexpr int kExitSuccess = 0;
constexpr int kExitPayloadDamaged = 2;       // nothing written
constexpr int kExitWordProcessorRunning = 3; // nothing written
constexpr int kExitNoDiskSpace = 4;          // nothing written; also a drive that cannot be asked
constexpr int kExitFileNotWritten = 5;       // stopped as after Abort: copies so far, choices and Install.log kept

}  // namespace qwp
