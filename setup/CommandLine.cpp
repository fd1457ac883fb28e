#include "setup/CommandLine.h"

namespace qwp {

namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// True when text starts with the prefix, letters compared without case.
bool StartsWithIgnoringCase(const std::string& text, const char* prefix) {
    std::size_t i = 0;
    for (; prefix[i]; ++i)
        if (i >= text.size() || Upper(text[i]) != Upper(prefix[i])) return false;
    return true;
}

bool IsSwitch(const std::string& arg, const char* name) {
    return arg.size() == std::char_traits<char>::length(name) && StartsWithIgnoringCase(arg, name);
}

}  // namespace

SetupOptions ParseSetupOptions(const std::vector<std::string>& args) {
    SetupOptions options;
    bool silent = false, progress = false;
    for (const std::string& arg : args) {
        if (IsSwitch(arg, "/S"))
            silent = true;
        else if (IsSwitch(arg, "/P"))
            progress = true;
        else if (StartsWithIgnoringCase(arg, "/LOG="))
            options.logPath = arg.substr(5);
    }
    if (silent)
        options.mode = RunMode::Silent;
    else if (progress)
        options.mode = RunMode::Progress;
    return options;
}

}  // namespace qwp
