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

// A program the setup started is not waited for: it may still be on its way
// to its window (or to its end) when the setup or a test step is over. Waits
// up to the time given for every process running the program to show a
// top-level window of the class or to end.
void WaitForStartingPrograms(const std::string& fileName, const char* windowClass, DWORD milliseconds = 10000);

// The process of the first top-level window of the class; 0 when none.
DWORD ProcessOfWindowClass(const char* windowClass);

}  // namespace qwp::test
