// Copies of this build's programs that a test runs in place of the real
// ones: the stand-in word processor from a folder of the test, and a setup
// program whose packed payload is damaged.
#pragma once

#include "tests/support/ProcessDriver.h"
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <memory>
#include <string>

namespace qwp::test {

// A copy of the stand-in word processor of this build in a folder of the
// test (it writes its start log beside itself), started and ended on demand
// and ended at the latest when this goes.
class StandInWordProcessor {
public:
    StandInWordProcessor();
    ~StandInWordProcessor();
    StandInWordProcessor(const StandInWordProcessor&) = delete;
    StandInWordProcessor& operator=(const StandInWordProcessor&) = delete;

    // Starts it and waits for its window with the property the setup looks
    // for; false when that does not show.
    bool Start();
    // Closes its window as a user does; true when it has ended (or never ran).
    bool Stop();

private:
    TempFolder folder_;
    std::string program_;
    bool copied_ = false;
    std::unique_ptr<ChildProcess> process_;
    HWND window_ = nullptr;
};

// A copy of this build's setup program at the path given with one byte in
// the middle of its packed payload flipped; false when it could not be made.
bool MakeDamagedSetup(const std::string& program);

}  // namespace qwp::test
