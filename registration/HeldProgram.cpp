#include "registration/HeldProgram.h"

#include <cstring>

namespace qwp {

namespace {

// Compares the whole file with the bytes through a read-only view of it.
bool SameContent(HANDLE file, const void* expected, std::size_t size) {
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(file, &length) || static_cast<unsigned long long>(length.QuadPart) != size) return false;
    if (size == 0) return true;  // nothing to map
    const UniqueKernelHandle mapping(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping) return false;
    const void* view = MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0);
    if (!view) return false;
    const bool same = std::memcmp(view, expected, size) == 0;
    UnmapViewOfFile(view);
    return same;
}

}  // namespace

HeldProgram::HeldProgram(const std::string& path, const void* bytes, std::size_t size) {
    file_.reset(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) {
        problem_ = "could not be opened to check its content";
        return;
    }
    if (!SameContent(file_.get(), bytes, size)) {
        problem_ = "is not the file setup installed";
        file_.reset();
        return;
    }
    problem_.clear();
}

}  // namespace qwp
