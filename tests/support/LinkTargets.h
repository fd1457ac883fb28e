// Unix symbolic links made from inside Wine, for the tests of code that must
// never reach through a link: Wine shows a Unix link as a reparse point, and
// removing one through the Windows calls can take its target with it
// (RemoveDirectoryA on a link removes an empty target folder, DeleteFileA on
// a link deletes the target file).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace qwp::test {

// Links made for one test, taken away again, as links, when it ends (the
// test support's own clean-up never removes a link, nor enters one).
class UnixLinks {
public:
    UnixLinks() = default;
    ~UnixLinks();
    UnixLinks(const UnixLinks&) = delete;
    UnixLinks& operator=(const UnixLinks&) = delete;

    // Makes each link (second) point at its target (first), all in one
    // Unix process; empty when every link is there, else the reason to
    // skip the test.
    std::string Make(const std::vector<std::pair<std::string, std::string>>& targetsAndLinks);

private:
    std::vector<std::string> links_, unixLinks_;
};

// What links point at from inside a tree a test cleans up, made outside that
// tree: a folder holding a file, an empty folder, and a file.
class LinkTargets {
public:
    // Made below the folder (a folder text ending in a backslash).
    explicit LinkTargets(const std::string& folder);

    const std::string full, empty, file;  // without a trailing backslash

    // Empty while all three are as made; else what became of them.
    std::string Damage() const;
};

}  // namespace qwp::test
