#include "setup/CommandLine.h"

namespace qwp {

namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// True when text starts with the prefix, letters compared without case.
bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (Upper(text[i]) != Upper(prefix[i])) return false;
    return true;
}

// The quieter of two run modes: an unattended switch anywhere outweighs a
// louder one, whatever their order.
RunMode Quieter(RunMode a, RunMode b) {
    auto rank = [](RunMode mode) { return mode == RunMode::Silent ? 2 : mode == RunMode::Progress ? 1 : 0; };
    return rank(a) >= rank(b) ? a : b;
}

// A switch that may stand anywhere. A name ending in '=' takes the rest of the
// argument as its value; any other name must match the whole argument. Names
// are matched ignoring case.
struct Switch {
    const char* name;
    void (*apply)(SetupOptions& options, const std::string& value);
};

const Switch kSwitches[] = {
    {"/S", [](SetupOptions& o, const std::string&) { o.mode = Quieter(o.mode, RunMode::Silent); }},
    {"/P", [](SetupOptions& o, const std::string&) { o.mode = Quieter(o.mode, RunMode::Progress); }},
    {"/LOG=", [](SetupOptions& o, const std::string& value) { o.logPath = value; }},
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

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& raw) {
    std::size_t i = 0;
    const std::size_t end = raw.size();

    // The program name: a quoted one ends at the next quote, blanks and all;
    // an unquoted one at the first blank. Quotes inside it are not looked at.
    if (i < end && raw[i] == '"') {
        ++i;
        while (i < end && raw[i] != '"') ++i;
        if (i < end) ++i;
    } else {
        while (i < end && !IsBlank(raw[i])) ++i;
    }

    std::vector<std::string> args;
    for (;;) {
        while (i < end && IsBlank(raw[i])) ++i;
        if (i == end) break;
        std::string arg;
        bool quoted = false;
        for (; i < end; ++i) {
            const char c = raw[i];
            if (c == '"')
                quoted = !quoted;
            else if (IsBlank(c) && !quoted)
                break;
            else
                arg += c;
        }
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
        options.hasDestDir = true;
        options.destDir = args[0].substr(2);
        first = 1;
    }
    std::string value;
    for (std::size_t i = first; i < args.size(); ++i)
        if (const Switch* entry = MatchSwitch(args[i], value)) entry->apply(options, value);
    return options;
}

SetupOptions ParseCommandLine(const std::string& raw) { return ParseSetupOptions(SplitCommandLine(raw)); }

}  // namespace qwp
