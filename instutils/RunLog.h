// The diagnostic log of one run, asked for on the command line ("/LOG="):
// what the run was told and what it did, one line per step, for packagers
// and support. Each line is "<Kind>: <text>". The lines are kept in memory
// and the file is written once, at the end of the run, replacing an earlier
// one in one step. Nothing here ever changes the install: while no log was
// asked for the calls do nothing, and a file that cannot be written is
// only reported through the result.
#pragma once

#include <string>

namespace qwp {

// Starts collecting lines for the file at path; an empty path leaves the
// log off.
void StartRunLog(const std::string& path);
bool RunLogActive();

// Appends "<kind>: <text>" while the log is on. Line breaks inside the text
// become spaces, so each step stays on its line.
void RunLogLine(const char* kind, const std::string& text);

// Writes the lines, each ended by CR LF, and turns the log off; false when
// the log was off or the file could not be written.
bool FinishRunLog();

}  // namespace qwp
