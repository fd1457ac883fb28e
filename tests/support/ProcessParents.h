// Which process started another, from the system's list of processes.
#pragma once

#include <windows.h>

#include <string>

namespace qwp::test {

struct ParentProcess {
    DWORD id = 0;          // 0 when the process or its parent is not listed
    std::string program;   // the parent's program file name, lower case
};

ParentProcess ParentOf(DWORD processId);

// The process of the first top-level window of the class; 0 when none.
DWORD ProcessOfWindowClass(const char* windowClass);

}  // namespace qwp::test
