#include "registration/HeldProgram.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace qwp {

namespace {

// Compares the file, from where it stands, with the bytes: same length,
// same content.
bool SameContent(HANDLE file, const char* expected, std::size_t size) {
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(file, &length) || static_cast<unsigned long long>(length.QuadPart) != size) return false;
    std::vector<char> chunk(std::min<std::size_t>(size, 256 * 1024) + 1);
    std::size_t done = 0;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &read, nullptr)) return false;
        if (read == 0) return done == size;
        if (read > size - done || std::memcmp(chunk.data(), expected + done, read) != 0) return false;
        done += read;
    }
}

}  // namespace

HeldProgram::HeldProgram(const std::string& path, const void* bytes, std::size_t size) {
    file_.reset(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file_) {
        problem_ = "could not be opened to check its content (error " + std::to_string(GetLastError()) + ")";
        return;
    }
    if (!SameContent(file_.get(), static_cast<const char*>(bytes), size)) {
        problem_ = "is not the file setup installed";
        file_.reset();
        return;
    }
    problem_.clear();
}

}  // namespace qwp
