// A fresh, empty folder for one test, removed with everything in it when the
// test ends.
#pragma once

#include <string>
#include <vector>

namespace qwp::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with a trailing backslash.
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

// Removes a folder and its contents, read-only files included. Links are
// never entered and never removed (under Wine removing a link can remove its
// target); tests that make links take them away themselves. Test use only.
void RemoveTree(const std::string& folder);

// The names in a folder (a folder text), sorted, without "." and "..".
std::vector<std::string> Entries(const std::string& folder);

// An environment variable of this process; empty when unset.
std::string Environment(const char* name);

// GetTempPathA reads TMP first, then TEMP: both point at the folder.
void RedirectTemp(const std::string& folder);

// Points the temporary folder (of this process and of the programs it
// starts) at a folder for as long as it lives.
class TempRedirect {
public:
    explicit TempRedirect(const std::string& folder) : old_(Environment("TMP")) { RedirectTemp(folder); }
    ~TempRedirect() { RedirectTemp(old_); }
    TempRedirect(const TempRedirect&) = delete;
    TempRedirect& operator=(const TempRedirect&) = delete;

private:
    std::string old_;
};

// Writes a file whole; false on any failure.
bool WriteWholeFile(const std::string& path, const std::string& content);
// Reads a file whole; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

}  // namespace qwp::test
