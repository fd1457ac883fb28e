// One piece of work run on a thread of its own while the caller goes on with
// something else, then waited for. What the work throws is thrown again by
// Wait, on the caller's thread, by its reason: std::bad_alloc for a lack of
// memory, SetupError with the reason otherwise (as an exception that reached
// a window is).
#pragma once

#include "instutils/EscapedException.h"
#include "instutils/Handles.h"

#include <optional>

namespace qwp {

// Waits up to the time given (INFINITE for no limit) for the object while
// answering the messages other threads and programs send to this thread's
// windows; true when the object was signalled in time.
bool WaitAnsweringSentMessages(HANDLE object, DWORD milliseconds);

class BackgroundTask {
public:
    // Starts work(context); where no thread can be made, does it on the
    // spot.
    BackgroundTask(void (*work)(void* context), void* context);
    // Waits for the work if nobody did: what it refers to must outlive it.
    ~BackgroundTask();
    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;

    // Returns when the work is done; throws what it threw. Once only.
    // Messages sent to the caller's windows meanwhile are answered.
    void Wait();

private:
    static DWORD WINAPI Run(void* self);
    void RunWork() noexcept;

    void (*work_)(void*);
    void* context_;
    std::optional<KeptException> failure_;
    UniqueKernelHandle thread_;
};

}  // namespace qwp
