// Which process started another, and which processes run a program, from
// the system's list of processes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace qwp::test {

struct ParentProcess {
    DWORD id = 0;          // 0 when the process or its parent is not listed
    std::string program;   // the parent's program file name, lower case
};

ParentProcess ParentOf(DWORD processId);

// The processes running the program of that file name (any case), in this
// prefix.
std::vector<DWORD> ProcessesOfProgram(const std::string& fileName);

// The process of the first top-level window of the class; 0 when none.
DWORD ProcessOfWindowClass(const char* windowClass);

}  // namespace qwp::test
