// The error the setup raises itself: a message and nothing else.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace qwp {

// Thrown for what the program cannot go on from (a window that cannot be
// made, a damaged resource of its own). Not std::runtime_error: that class
// keeps its message in the runtime library's older, reference-counted
// string, whose code (some 45 KB with what it brings) would be linked into
// the setup for it alone.
class SetupError : public std::exception {
public:
    explicit SetupError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override;

private:
    std::string message_;
};

}  // namespace qwp
