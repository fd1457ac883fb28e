#include "instutils/NetworkFolder.h"

#include "instutils/DiskQueries.h"
#include "instutils/PathText.h"
#include "instutils/Paths.h"

#include <windows.h>

namespace qwp {

namespace {

// What the caller and its worker share. Whichever of them lets go last
// frees it, so a worker still waiting for a dead server after the caller
// went on never touches freed memory, and the caller never waits for it.
struct FolderQuestion {
    std::string folder;
    FolderQuery exists;
    bool answer = false;
    LONG holders = 2;
};

void LetGo(FolderQuestion* question) {
    if (InterlockedDecrement(&question->holders) == 0) delete question;
}

DWORD WINAPI AskOnWorker(void* context) {
    auto* question = static_cast<FolderQuestion*>(context);
    try {
        question->answer = question->exists(question->folder);
    } catch (...) {
        // Nothing may leave a thread; a folder that could not be asked
        // counts as missing.
    }
    LetGo(question);
    return 0;
}

// The query goes down into the system's path and network code, nothing
// of ours: a small stack is plenty, and only its address space is taken.
constexpr SIZE_T kWorkerStack = 64 * 1024;

}  // namespace

bool FolderAttributesSayFolder(const std::string& folder) {
    std::string wanted = folder;
    AddTrailingBackslash(wanted);
    // The full path reads back as the current directory would: a folder
    // with a "." or ".." in it is not the folder it names. The empty text has
    // no full path.
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(wanted.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH || !SameName(full, wanted)) return false;
    const DWORD attributes = GetFileAttributesA(wanted.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

FolderAnswer AskFolder(const std::string& folder, const NetworkFolderQuery& query) {
    if (!IsNetworkPath(folder)) return FolderExists(folder) ? FolderAnswer::Exists : FolderAnswer::Missing;
    auto* question = new FolderQuestion{folder, query.exists};
    const HANDLE worker = CreateThread(nullptr, kWorkerStack, AskOnWorker, question,
                                       STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!worker) {
        delete question;
        return query.exists(folder) ? FolderAnswer::Exists : FolderAnswer::Missing;
    }
    // The thread's end is the answer: it wrote it before letting go.
    const bool answered = WaitForSingleObject(worker, query.milliseconds) == WAIT_OBJECT_0;
    CloseHandle(worker);
    const FolderAnswer answer =
        !answered ? FolderAnswer::NoAnswer : question->answer ? FolderAnswer::Exists : FolderAnswer::Missing;
    LetGo(question);
    return answer;
}

}  // namespace qwp
