#include "tests/support/ProcessParents.h"

#include "instutils/Handles.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cctype>

namespace qwp::test {

ParentProcess ParentOf(DWORD processId) {
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return {};
    DWORD parentId = 0;
    std::string parentProgram;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    // Two passes over one snapshot: the child's entry names its parent.
    for (int pass = 0; pass < 2; ++pass) {
        for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
            if (pass == 0 && entry.th32ProcessID == processId) parentId = entry.th32ParentProcessID;
            if (pass == 1 && parentId != 0 && entry.th32ProcessID == parentId) parentProgram = entry.szExeFile;
        }
        if (parentId == 0) return {};
    }
    if (parentProgram.empty()) return {};
    std::transform(parentProgram.begin(), parentProgram.end(), parentProgram.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return {parentId, parentProgram};
}

std::vector<DWORD> ProcessesOfProgram(const std::string& fileName) {
    std::vector<DWORD> found;
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return found;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry))
        if (lstrcmpiA(entry.szExeFile, fileName.c_str()) == 0) found.push_back(entry.th32ProcessID);
    return found;
}

namespace {

bool HasWindowOfClass(DWORD processId, const char* windowClass) {
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, windowClass, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId) return true;
    }
    return false;
}

}  // namespace

void WaitForStartingPrograms(const std::string& fileName, const char* windowClass, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (DWORD id : ProcessesOfProgram(fileName)) {
        UniqueKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, id));
        if (!process) continue;
        while (!HasWindowOfClass(id, windowClass) && GetTickCount() - start < milliseconds &&
               WaitForSingleObject(process.get(), 20) == WAIT_TIMEOUT) {
        }
    }
}

DWORD ProcessOfWindowClass(const char* windowClass) {
    const HWND window = FindWindowExA(nullptr, nullptr, windowClass, nullptr);
    DWORD id = 0;
    if (window) GetWindowThreadProcessId(window, &id);
    return id;
}

}  // namespace qwp::test
