#include "instutils/BackgroundTask.h"

#include <utility>

namespace qwp {

// A program broadcasting a message (a setting changed, a drive arrived)
// waits for every top-level window's answer, and would stall until the wait
// is over. Only sent messages are answered; posted ones stay queued in their
// order for the window's own loop.
bool WaitAnsweringSentMessages(HANDLE object, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD left = INFINITE;
        if (milliseconds != INFINITE) {
            const DWORD passed = GetTickCount() - start;
            left = passed >= milliseconds ? 0 : milliseconds - passed;
        }
        const DWORD woken = MsgWaitForMultipleObjects(1, &object, FALSE, left, QS_SENDMESSAGE);
        if (woken == WAIT_OBJECT_0) return true;
        if (woken != WAIT_OBJECT_0 + 1) return false;
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

BackgroundTask::BackgroundTask(void (*work)(void*), void* context) : work_(work), context_(context) {
    thread_.reset(CreateThread(nullptr, 0, &BackgroundTask::Run, this, 0, nullptr));
    if (!thread_) RunWork();
}

BackgroundTask::~BackgroundTask() {
    if (thread_) WaitAnsweringSentMessages(thread_.get(), INFINITE);
}

void BackgroundTask::Wait() {
    if (thread_) {
        WaitAnsweringSentMessages(thread_.get(), INFINITE);
        thread_.reset();
    }
    if (!failure_) return;
    KeptException failure = std::move(*failure_);
    failure_.reset();
    failure.Rethrow();
}

DWORD WINAPI BackgroundTask::Run(void* self) {
    static_cast<BackgroundTask*>(self)->RunWork();
    return 0;
}

void BackgroundTask::RunWork() noexcept {
    try {
        work_(context_);
    } catch (...) {
        failure_ = KeptException::OfCurrentException();
    }
}

}  // namespace qwp
