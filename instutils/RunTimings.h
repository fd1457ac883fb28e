// Where a run's time goes, for the benchmark: the setup marks the end of
// each of its phases here. Only a program linked for the benchmark records
// them: it installs a recorder before the run starts (bench/). The shipped
// setup installs none, so every call returns at once, and it holds nothing
// that would let anybody ask it for timings.
#pragma once

namespace qwp {

class RunTimingsRecorder {
public:
    virtual ~RunTimingsRecorder() = default;
    virtual void Start() = 0;
    virtual void Mark(const char* phase) = 0;
    virtual void Finish() = 0;
};

// The recorder the calls below go to; null for none.
void InstallRunTimingsRecorder(RunTimingsRecorder* recorder);

// The first call of the process.
void StartRunTimings();
// The time since the previous mark (or the process's creation) counts for
// the phase named.
void MarkPhase(const char* phase);
// The run's end.
void FinishRunTimings();

}  // namespace qwp
