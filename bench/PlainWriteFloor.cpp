// The floor of a whole install as a process: a program that does nothing but
// inflate the payload of a setup program with zlib's one-shot uncompress and
// write the listed files with CreateFile/WriteFile/SetFileTime.
//
//   plain_write_floor.exe [--window-call] <list file>
//
// With --window-call it first makes the one window call the setup's check
// for a running word processor makes (EnumWindows asking each window for a
// property), which under Wine loads the display driver: the second floor,
// what a silent install's memory cannot go below while that check is made.
// The list file's first line is the program carrying the payload, its second
// the payload's inflated size; every further line is one file:
//   <offset>\t<size>\t<last-write time as a 64-bit FILETIME>\t<destination>
// Exit code 0 when every file was written, 1 when anything failed, 2 for a
// list it cannot read.
#include "bench/BenchSupport.h"
#include "instutils/Handles.h"

#include <windows.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

struct Write {
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
    FILETIME time{};
    std::string destination;
};

struct Job {
    std::string program;
    std::uint32_t inflatedSize = 0;
    std::vector<Write> writes;
};

bool ParseWrite(const std::string& line, Write& write) {
    unsigned long long time = 0;
    int consumed = 0;
    if (std::sscanf(line.c_str(), "%u\t%u\t%llu\t%n", &write.offset, &write.size, &time, &consumed) != 3 ||
        consumed == 0 || static_cast<std::size_t>(consumed) >= line.size())
        return false;
    write.time.dwLowDateTime = static_cast<DWORD>(time);
    write.time.dwHighDateTime = static_cast<DWORD>(time >> 32);
    write.destination = line.substr(consumed);
    return true;
}

bool ReadJob(const char* path, Job& job) {
    std::ifstream in(path);
    std::string size, line;
    if (!std::getline(in, job.program) || !std::getline(in, size)) return false;
    job.inflatedSize = static_cast<std::uint32_t>(std::strtoul(size.c_str(), nullptr, 10));
    while (std::getline(in, line)) {
        Write write;
        if (!ParseWrite(line, write)) return false;
        job.writes.push_back(write);
    }
    return job.inflatedSize > 0;
}

// The payload inflated whole in one call; null on any failure.
std::unique_ptr<Bytef[]> InflatedPayload(const Job& job) {
    qwp::UniqueModule module(LoadLibraryExA(job.program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    HRSRC info = module ? FindResourceA(module.get(), "FILES", "FILES") : nullptr;
    HGLOBAL loaded = info ? LoadResource(module.get(), info) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return nullptr;
    std::unique_ptr<Bytef[]> out(new Bytef[job.inflatedSize]);
    uLongf produced = job.inflatedSize;
    if (uncompress(out.get(), &produced, static_cast<const Bytef*>(bytes), SizeofResource(module.get(), info)) != Z_OK ||
        produced != job.inflatedSize)
        out.reset();
    return out;
}

bool WriteOne(const Write& write, const Bytef* data) {
    qwp::UniqueFile file(CreateFileA(write.destination.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    const bool ok = write.size == 0 || (WriteFile(file.get(), data + write.offset, write.size, &written, nullptr) &&
                                        written == write.size);
    return SetFileTime(file.get(), nullptr, nullptr, &write.time) && ok;
}

BOOL CALLBACK AskWindow(HWND window, LPARAM found) {
    if (GetPropA(window, "1.x Sorvelin")) *reinterpret_cast<bool*>(found) = true;
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    const bool windowCall = argc > 1 && std::string(argv[1]) == "--window-call";
    const int listArgument = windowCall ? 2 : 1;
    Job job;
    if (argc <= listArgument || !ReadJob(argv[listArgument], job)) return 2;
    if (windowCall) {
        bool found = false;
        EnumWindows(AskWindow, reinterpret_cast<LPARAM>(&found));
    }
    const std::unique_ptr<Bytef[]> data = InflatedPayload(job);
    if (!data) return 1;
    std::set<std::string> made;
    bool ok = true;
    for (const Write& write : job.writes) {
        if (write.offset > job.inflatedSize || write.size > job.inflatedSize - write.offset) return 1;
        const std::string folder = write.destination.substr(0, write.destination.find_last_of('\\') + 1);
        if (made.insert(folder).second) qwp::bench::MakeFolderOf(write.destination);
        ok = WriteOne(write, data.get()) && ok;
    }
    return ok ? 0 : 1;
}
