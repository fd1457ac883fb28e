// The diagnostic log of one run, asked for on the command line ("/LOG="):
// what the run was told and what it did, one line per step, for packagers
// and support. Each line is "<Kind>: <text>". The file is made afresh when
// the run starts (replacing an earlier run's) and every line is written to
// it as it happens, so a run that a deployment tool kills half way still
// leaves the lines up to that moment. Nothing here ever changes the install:
// while no log was asked for the calls do nothing, and a file that cannot
// be written is only reported through the results.
#pragma once

#include <string>

namespace qwp {

// Creates the file at path, replacing an earlier one; an empty path leaves
// the log off. False when a log was asked for but its file could not be
// made (the run goes on without it).
bool StartRunLog(const std::string& path);
bool RunLogActive();

// Appends "<kind>: <text>" and CR LF to the file while the log is on. Line
// breaks inside the text become spaces, so each step stays on its line.
void RunLogLine(const char* kind, const std::string& text);

// The run's last line, "Exit: <code> (<reason>)"; gives the code back, for
// the return that ends the run.
int RunLogExit(int code, const std::string& reason);

// Closes the file and turns the log off; false when the log was off or a
// line could not be written.
bool FinishRunLog();

}  // namespace qwp
