#include "instutils/RunTimings.h"

namespace qwp {

namespace {

RunTimingsRecorder* installed = nullptr;

}  // namespace

void InstallRunTimingsRecorder(RunTimingsRecorder* recorder) { installed = recorder; }

void StartRunTimings() {
    if (installed) installed->Start();
}

void MarkPhase(const char* phase) {
    if (installed) installed->Mark(phase);
}

void FinishRunTimings() {
    if (installed) installed->Finish();
}

}  // namespace qwp
