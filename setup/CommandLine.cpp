#include "setup/CommandLine.h"

namespace qwp {

const char kUsageText[] =
    "Usage: setup.exe [options]\r"
    "-d<folder>: the installation folder (first argument only)\r"
    "/D=<folder>: the installation folder (last argument, unquoted)\r"
    "/DIR=<folder>: the installation folder\r"
    "/S or /VERYSILENT: install without any window\r"
    "/P or /SILENT: install with only a progress window\r"
    "/LOG=<path>: write a diagnostic log of the run\r"
    "/SUPPRESSMSGBOXES, /NORESTART: accepted, no effect\r"
    "/? or /HELP: show this message";

namespace {

// Packaging tools pass the folder unquoted after this, at the very end.
const char kFolderToEnd[] = "/D=";

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// True when text holds the prefix at position at, letters compared without case.
bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix, std::size_t at = 0) {
    if (at > text.size() || text.size() - at < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (Upper(text[at + i]) != Upper(prefix[i])) return false;
    return true;
}

// The quieter of two run modes: an unattended switch anywhere outweighs a
// louder one, whatever their order.
RunMode Quieter(RunMode a, RunMode b) {
    auto rank = [](RunMode mode) { return mode == RunMode::Silent ? 2 : mode == RunMode::Progress ? 1 : 0; };
    return rank(a) >= rank(b) ? a : b;
}

void SetSilent(SetupOptions& o, const std::string&) { o.mode = Quieter(o.mode, RunMode::Silent); }
void SetProgress(SetupOptions& o, const std::string&) { o.mode = Quieter(o.mode, RunMode::Progress); }
void SetLog(SetupOptions& o, const std::string& value) { o.logPath = value; }
void SetFolder(SetupOptions& o, const std::string& value) {
    o.hasDestDir = true;
    o.destDir = value;
}
void AskForUsage(SetupOptions& o, const std::string&) { o.showUsage = true; }
void NoEffect(SetupOptions&, const std::string&) {}

// A switch that may stand anywhere. A name ending in '=' takes the rest of the
// argument as its value; any other name must match the whole argument. Names
// are matched ignoring case.
struct Switch {
    const char* name;
    void (*apply)(SetupOptions& options, const std::string& value);
};

const char kFolderSwitch[] = "/DIR=";

const Switch kSwitches[] = {
    {"/S", SetSilent},
    {"/VERYSILENT", SetSilent},
    {"/P", SetProgress},
    {"/SILENT", SetProgress},
    {"/LOG=", SetLog},
    {kFolderSwitch, SetFolder},  // read after "-d", so it wins over it
    {"/SUPPRESSMSGBOXES", NoEffect},
    {"/NORESTART", NoEffect},
    {"/?", AskForUsage},
    {"/HELP", AskForUsage},
};

// The switch the argument is, or null; value receives what follows its name.
const Switch* MatchSwitch(const std::string& arg, std::string& value) {
    for (const Switch& entry : kSwitches) {
        const std::string name = entry.name;
        if (!StartsWithIgnoringCase(arg, name)) continue;
        const bool takesValue = name.back() == '=';
        if (!takesValue && arg.size() != name.size()) continue;
        value = arg.substr(name.size());
        return &entry;
    }
    return nullptr;
}

// Where the arguments start: the program name ends at the first blank
// outside quotes, each quote switching quoting on or off, as the C runtime
// reads it; an unterminated quote takes the whole line.
std::size_t SkipProgramName(const std::string& raw) {
    bool quoted = false;
    std::size_t i = 0;
    for (; i < raw.size(); ++i) {
        if (raw[i] == '"')
            quoted = !quoted;
        else if (IsBlank(raw[i]) && !quoted)
            break;
    }
    return i;
}

std::size_t SkipBlanks(const std::string& raw, std::size_t i) {
    while (i < raw.size() && IsBlank(raw[i])) ++i;
    return i;
}

// Reads the argument starting at i into arg and returns where it ends.
std::size_t ReadArgument(const std::string& raw, std::size_t i, std::string& arg) {
    bool quoted = false;
    for (; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '"')
            quoted = !quoted;
        else if (IsBlank(c) && !quoted)
            break;
        else
            arg += c;
    }
    return i;
}

// Where a final "/D=" starts in the raw text, or npos. It counts only where an
// argument starts, so neither the program name nor a quoted argument can hold it.
std::size_t FindFolderToEnd(const std::string& raw) {
    for (std::size_t i = SkipBlanks(raw, SkipProgramName(raw)); i < raw.size(); i = SkipBlanks(raw, i)) {
        if (StartsWithIgnoringCase(raw, kFolderToEnd, i)) return i;
        std::string ignored;
        i = ReadArgument(raw, i, ignored);
    }
    return std::string::npos;
}

std::string WithoutTrailingBlanks(std::string text) {
    while (!text.empty() && IsBlank(text.back())) text.pop_back();
    return text;
}

// Where the folder starts in an argument that names one (a first "-d",
// "/DIR=" anywhere); 0 for any other argument.
std::size_t FolderStart(const std::string& arg, std::size_t position) {
    if (position == 0 && arg.compare(0, 2, "-d") == 0) return 2;
    return StartsWithIgnoringCase(arg, kFolderSwitch) ? sizeof kFolderSwitch - 1 : 0;
}

// The text as it is shown: each character without an ANSI form as '?'.
std::string Shown(std::string text) {
    for (char& c : text)
        if (c == kNoAnsiForm) c = '?';
    return text;
}

bool HasNoAnsiForm(const std::string& text) { return text.find(kNoAnsiForm) != std::string::npos; }

// Notes the first folder and the first other argument that hold a
// character without an ANSI form.
void NoteUnreadable(SetupOptions& options, const std::string& arg, std::size_t folderStart) {
    if (!HasNoAnsiForm(arg)) return;
    std::string& first = folderStart ? options.unreadableFolder : options.unreadableArgument;
    if (first.empty()) first = Shown(arg.substr(folderStart));
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& raw) {
    std::vector<std::string> args;
    for (std::size_t i = SkipBlanks(raw, SkipProgramName(raw)); i < raw.size(); i = SkipBlanks(raw, i)) {
        std::string arg;
        i = ReadArgument(raw, i, arg);
        args.push_back(arg);
    }
    return args;
}

SetupOptions ParseSetupOptions(const std::vector<std::string>& args) {
    SetupOptions options;
    std::size_t first = 0;
    // "-d" is read only in first place and case-sensitively, as the stored
    // choices always have; that argument is then no candidate for a switch.
    if (!args.empty() && args[0].compare(0, 2, "-d") == 0) {
        SetFolder(options, args[0].substr(2));
        first = 1;
    }
    std::string value;
    for (std::size_t i = first; i < args.size(); ++i) {
        if (const Switch* entry = MatchSwitch(args[i], value)) {
            entry->apply(options, value);
        } else if (!args[i].empty() && args[i][0] == '/') {
            if (options.unknownSwitch.empty()) options.unknownSwitch = args[i];
        } else if (!options.hasStrayArgument) {
            options.hasStrayArgument = true;
            options.strayArgument = args[i];
        }
    }
    return options;
}

SetupOptions ParseCommandLine(const std::string& raw) {
    const std::size_t cut = FindFolderToEnd(raw);
    const std::vector<std::string> args = SplitCommandLine(cut == std::string::npos ? raw : raw.substr(0, cut));
    SetupOptions options = ParseSetupOptions(args);
    for (std::size_t i = 0; i < args.size(); ++i) {
        NoteUnreadable(options, args[i], FolderStart(args[i], i));
        options.arguments.push_back(Shown(args[i]));
    }
    if (cut != std::string::npos) {
        const std::string folderToEnd = WithoutTrailingBlanks(raw.substr(cut));
        NoteUnreadable(options, folderToEnd, sizeof kFolderToEnd - 1);
        SetFolder(options, folderToEnd.substr(sizeof kFolderToEnd - 1));
        options.arguments.push_back(Shown(folderToEnd));
    }
    return options;
}

bool RefusedArgument(const SetupOptions& options, std::string& reason) {
    const char* before;
    const std::string* argument;
    const char* after = "\"";
    // An argument without an ANSI form first: the other texts may hold it.
    if (!options.unreadableArgument.empty()) {
        before = "argument \"";
        argument = &options.unreadableArgument;
        after = "\" cannot be read in this system's code page";
    } else if (!options.unknownSwitch.empty()) {
        before = "unknown switch ";
        argument = &options.unknownSwitch;
        after = "";
    } else if (options.mode != RunMode::Wizard && options.hasStrayArgument) {
        before = "argument \"";
        argument = &options.strayArgument;
        after = "\" is no switch";
    } else {
        return false;
    }
    reason = before;
    reason += *argument;
    reason += after;
    return true;
}

std::string ArgumentsLine(const SetupOptions& options) {
    std::string line;
    for (const std::string& arg : options.arguments) {
        if (!line.empty()) line += ' ';
        const bool quote = arg.empty() || arg.find_first_of(" \t") != std::string::npos;
        if (quote) line += '"';
        line += arg;
        if (quote) line += '"';
    }
    return line;
}

}  // namespace qwp
