#include "instutils/FileContent.h"

#include "instutils/Handles.h"

#include <windows.h>

#include <algorithm>
#include <new>

namespace qwp {
namespace {

constexpr DWORD kChunk = 64 * 1024;
constexpr int kMaxSideFiles = 1000;

bool WriteAll(HANDLE file, const std::string& bytes) {
    std::string::size_type done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::string::size_type>(bytes.size() - done, kChunk));
        DWORD written = 0;
        // A short write without an error is how some redirectors report a
        // full disk, so the count is checked as well as the result.
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written != chunk) return false;
        done += written;
    }
    return true;
}

// CREATE_NEW never opens a file that is already there, so a name taken by a
// stray file of another run is skipped rather than overwritten.
UniqueFile CreateSideFile(const std::string& path, std::string& sidePath) {
    for (int n = 0; n < kMaxSideFiles; ++n) {
        sidePath = path + ".new" + (n == 0 ? std::string() : std::to_string(n));
        UniqueFile file(CreateFileA(sidePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (file) return file;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    sidePath.clear();
    return UniqueFile();
}

bool WriteSideFile(UniqueFile file, const std::string& bytes) {
    if (!WriteAll(file.get(), bytes) || !FlushFileBuffers(file.get())) return false;
    // A close can be the moment a network redirector reports a failed write.
    return CloseHandle(file.release()) != FALSE;
}

}  // namespace

bool ReadFileBytes(const std::string& path, std::string& bytes) {
    bytes.clear();
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return false;
    try {
        std::string chunk(kChunk, '\0');
        for (;;) {
            DWORD read = 0;
            if (!ReadFile(file.get(), &chunk[0], kChunk, &read, nullptr)) {
                bytes.clear();
                return false;
            }
            if (read == 0) return true;
            bytes.append(chunk, 0, read);
        }
    } catch (const std::bad_alloc&) {
        bytes.clear();
        bytes.shrink_to_fit();
        return false;
    }
}

bool ReplaceFileContent(const std::string& path, const std::string& bytes) {
    std::string sidePath;
    UniqueFile side = CreateSideFile(path, sidePath);
    if (!side) return false;
    // MOVEFILE_WRITE_THROUGH returns only once the rename is on the disk, so
    // after a crash either the old or the new file is there under `path`.
    if (WriteSideFile(std::move(side), bytes) &&
        MoveFileExA(sidePath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(sidePath.c_str());
    return false;
}

}  // namespace qwp
