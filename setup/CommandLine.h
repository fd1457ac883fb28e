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
//     one is kept); other arguments, "-x" among them, are stray: the wizard
//     ignores them, a run without it refuses them.
// Switches stand anywhere and are matched ignoring case. Blanks inside double
// quotes belong to the argument and a backslash is always a plain character,
// so "-dC:\Apps\" /S is a folder followed by "/S".
//
// The ANSI command line Windows offers is made with "best fit": a fullwidth
// quote or backslash becomes a plain one, which would move the boundaries of
// arguments and folders. So the program turns the UTF-16 command line into
// ANSI itself, without best fit, each character that has no exact ANSI form
// becoming kNoAnsiForm (setup/ProcessCommandLine.h). Quotes, blanks and tabs
// then stand exactly where they stood in UTF-16 (no trail byte of a
// double-byte code page is one of them), so the split is the same. An
// argument holding kNoAnsiForm is refused: a folder argument as an unusable
// folder, any other as a bad argument.
#pragma once

#include <string>
#include <vector>

namespace qwp {

enum class RunMode {
    Wizard,    // the interactive wizard
    Silent,    // "/S": no window at all
    Progress,  // "/P": a progress window, no questions
};

// Stands for a character without an exact ANSI form; shown as '?'.
constexpr char kNoAnsiForm = '\x01';

struct SetupOptions {
    RunMode mode = RunMode::Wizard;
    std::string logPath;        // empty: no diagnostic log
    bool hasDestDir = false;    // "-d", "/DIR=" or "/D=" was given, even with nothing after it
    std::string destDir;        // the folder given, as typed
    bool showUsage = false;     // "/?" or "/HELP"
    std::string unknownSwitch;  // the first argument starting with '/' that is no switch; empty: none
    std::string strayArgument;  // the first argument that is neither a switch nor a first "-d"
    bool hasStrayArgument = false;  // (it may be empty: "")
    // The arguments as the program reads them ("/D=" and its folder as
    // one), each kNoAnsiForm shown as '?'.
    std::vector<std::string> arguments;
    std::string unreadableFolder;    // the first folder argument without an exact ANSI form, as shown
    std::string unreadableArgument;  // the first other argument without one, as shown
};

// Whether an argument ends the run as a bad one: an unknown switch, an
// argument without an exact ANSI form and, in a run without the wizard, a
// stray argument. reason then names the first such argument and its fault
// ("unknown switch /X").
bool RefusedArgument(const SetupOptions& options, std::string& reason);

// The arguments as one line for the run's log, each quoted when it is empty
// or holds a blank.
std::string ArgumentsLine(const SetupOptions& options);

// The usage message, lines broken by a lone "\r" as in the program's other
// messages.
extern const char kUsageText[];

// The arguments of a raw command line, without the program name. A double
// quote switches quoting on and off and is dropped; blanks and tabs outside
// quotes separate arguments; "" is an empty argument; a backslash never
// escapes anything (folder names hold no double quote). The program name
// ends at the first blank outside quotes, quotes toggling inside it as the
// C runtime reads it: C:\"Program Files"\Q\setup.exe is one name.
std::vector<std::string> SplitCommandLine(const std::string& raw);

// The options among the program's arguments (without the program name).
// "/D=" is not among them: it is read from the raw text only, so here a quoted
// "/D=..." that reached the arguments is an unknown switch.
SetupOptions ParseSetupOptions(const std::vector<std::string>& args);

// The options of a raw command line: the text before a final "/D=" (if any)
// read by ParseSetupOptions(SplitCommandLine(...)), then its folder applied;
// the arguments noted as read, and those holding kNoAnsiForm.
SetupOptions ParseCommandLine(const std::string& raw);

}  // namespace qwp
