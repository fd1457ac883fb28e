// The installed word processor's program file, checked against the bytes
// the setup carries and held open while the setup starts it. Opened sharing
// only reads, the file can be neither replaced, renamed nor written by
// anybody until it is let go, and no folder it lies in can be renamed.
#pragma once

#include "instutils/Handles.h"

#include <cstddef>
#include <string>

namespace qwp {

class HeldProgram {
public:
    HeldProgram() = default;
    // Opens the file for reading, sharing reads only, and compares its
    // bytes with those given. Fails when another handle writes to it (the
    // copy's own included) or may delete it.
    HeldProgram(const std::string& path, const void* bytes, std::size_t size);
    HeldProgram(HeldProgram&&) noexcept = default;
    HeldProgram& operator=(HeldProgram&&) noexcept = default;

    // The file is held and is the one the setup carries.
    bool Matches() const { return problem_.empty(); }
    // Why it is not: could not be opened, differs, nothing checked.
    const std::string& Problem() const { return problem_; }
    // Lets the file go.
    void Release() { file_.reset(); }

private:
    UniqueFile file_;
    std::string problem_ = "was not checked";
};

}  // namespace qwp
