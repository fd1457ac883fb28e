// Where a run's time goes, measured by the program itself for the
// benchmark: only when the environment variable QWP_BENCH_TIMINGS names a
// file (nothing else sets it), each phase's end is marked and, at the end of
// the run, one line "<phase>\t<microseconds>" per phase is written there, in
// the order the phases first ended. A phase marked more than once adds up.
// The first phase starts when the process was created. Without the variable
// every call returns at once.
#pragma once

namespace qwp {

extern const char kRunTimingsVariable[];  // "QWP_BENCH_TIMINGS"

// Reads the variable; the first call of the process.
void StartRunTimings();
// The time since the previous mark (or the process's creation) counts for
// the phase named.
void MarkPhase(const char* phase);
// Writes the file; false when timings were asked for and it could not be
// written, or none were asked for.
bool FinishRunTimings();

}  // namespace qwp
