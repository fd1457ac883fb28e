// The setup's command line, split and read here from the raw text Windows
// hands over, not by the C runtime:
//   - "-d<folder>", only as the first argument and with a lower-case d, names
//     the installation folder as typed (it may be empty and is not checked);
//   - "/DIR=<folder>" names it too (quoted whole or after the '=') and wins
//     over "-d"; of several, the last counts;
//   - "/D=<folder>", only as the last argument, takes the rest of the raw text
//     as the folder, blanks and quotes included, trailing blanks dropped, as
//     packaging tools write it; it wins over "-d" and "/DIR=";
//   - "/S" or "/VERYSILENT" installs without any window, "/P" or "/SILENT"
//     with only a progress window (the quieter one wins);
//   - "/LOG=<path>" writes the run's diagnostic log (the last one counts);
//   - "/SUPPRESSMSGBOXES" and "/NORESTART" are accepted and change nothing;
//   - "/?" or "/HELP" asks for the usage text;
//   - any other argument starting with '/' is an unknown switch (the first
//     one is kept); other arguments, "-x" among them, are ignored.
// Switches stand anywhere and are matched ignoring case. Blanks inside double
// quotes belong to the argument and a backslash is always a plain character,
// so "-dC:\Apps\" /S is a folder followed by "/S".
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
    std::string logPath;        // empty: no diagnostic log
    bool hasDestDir = false;    // "-d", "/DIR=" or "/D=" was given, even with nothing after it
    std::string destDir;        // the folder given, as typed
    bool showUsage = false;     // "/?" or "/HELP"
    std::string unknownSwitch;  // the first argument starting with '/' that is no switch; empty: none
};

// The usage message, lines broken by a lone "\r" as in the program's other
// messages.
extern const char kUsageText[];

// The arguments of a raw command line (as GetCommandLineA gives it), without
// the program name. A double quote switches quoting on and off and is dropped;
// blanks and tabs outside quotes separate arguments; "" is an empty argument;
// a backslash never escapes anything (folder names hold no double quote).
std::vector<std::string> SplitCommandLine(const std::string& raw);

// The options among the program's arguments (without the program name).
// "/D=" is not among them: it is read from the raw text only, so here a quoted
// "/D=..." that reached the arguments is an unknown switch.
SetupOptions ParseSetupOptions(const std::vector<std::string>& args);

// The options of a raw command line: the text before a final "/D=" (if any)
// read by ParseSetupOptions(SplitCommandLine(...)), then its folder applied.
SetupOptions ParseCommandLine(const std::string& raw);

}  // namespace qwp
