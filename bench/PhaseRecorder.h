// The recorder of where a setup run's time goes, linked into the
// benchmark's own builds of the setup (setup_timed, setup_large_timed) and
// never into the shipped one: when the environment variable
// QWP_BENCH_TIMINGS names a file, each phase's end is marked and, at the end
// of the run, one line "<phase>\t<microseconds>" per phase is written there,
// in the order the phases first ended. A phase marked more than once adds
// up. The first phase starts when the process was created.
#pragma once

namespace qwp {

inline constexpr char kRunTimingsVariable[] = "QWP_BENCH_TIMINGS";

}  // namespace qwp
