// The setup's command line, split and read here from the raw text Windows
// hands over, not by the C runtime:
//   - "-d<folder>", only as the first argument and with a lower-case d, names
//     the installation folder as typed (it may be empty and is not checked);
//   - "/S" installs without any window, "/P" with only a progress window
//     ("/S" wins), "/LOG=<path>" writes the run's diagnostic log (the last
//     one counts); these stand anywhere and are matched ignoring case;
//   - anything else, including look-alikes such as "/Silent", is ignored.
// Blanks inside double quotes belong to the argument and a backslash is always
// a plain character, so "-dC:\Apps\" /S is a folder followed by "/S".
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
    bool hasDestDir = false;  // "-d" was given, even with nothing after it
    std::string destDir;      // the text after "-d", as typed
};

// The arguments of a raw command line (as GetCommandLineA gives it), without
// the program name. A double quote switches quoting on and off and is dropped;
// blanks and tabs outside quotes separate arguments; "" is an empty argument;
// a backslash never escapes anything (folder names hold no double quote).
std::vector<std::string> SplitCommandLine(const std::string& raw);

// The options among the program's arguments (without the program name).
SetupOptions ParseSetupOptions(const std::vector<std::string>& args);

// ParseSetupOptions(SplitCommandLine(raw)).
SetupOptions ParseCommandLine(const std::string& raw);

}  // namespace qwp
