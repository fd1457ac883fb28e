// The switches of an unattended run, which may stand anywhere on the command
// line and are matched ignoring case: "/S" installs without any window, "/P"
// with only a progress window, and "/LOG=<path>" (in every mode) writes the
// run's diagnostic log. "-d<folder>" keeps its place as the first argument
// and is read with the stored choices.
#pragma once

#include <string>
#include <vector>

namespace qwp {

enum class RunMode {
    Wizard,    // the interactive wizard
    Silent,    // "/S": no window at all
    Progress,  // "/P": a progress window, no questions
};

struct SetupOptions {
    RunMode mode = RunMode::Wizard;
    std::string logPath;  // empty: no diagnostic log
};

// The options among the program's arguments (without the program name).
// "/S" wins over "/P"; of several "/LOG=" the last counts; anything else is
// left to the rest of the program.
SetupOptions ParseSetupOptions(const std::vector<std::string>& args);

}  // namespace qwp
