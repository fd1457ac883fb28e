#include "instutils/BackgroundTask.h"

#include <utility>

namespace qwp {

namespace {

// Waits for the thread while answering the messages other threads and
// programs send to this thread's windows: a program broadcasting a message
// (a setting changed, a drive arrived) waits for every top-level window's
// answer, and would stall until the work is done. Only sent messages are
// answered; posted ones stay queued in their order for the window's own
// loop.
void WaitAnsweringSentMessages(HANDLE thread) {
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace

BackgroundTask::BackgroundTask(void (*work)(void*), void* context) : work_(work), context_(context) {
    thread_.reset(CreateThread(nullptr, 0, &BackgroundTask::Run, this, 0, nullptr));
    if (!thread_) RunWork();
}

BackgroundTask::~BackgroundTask() {
    if (thread_) WaitAnsweringSentMessages(thread_.get());
}

void BackgroundTask::Wait() {
    if (thread_) {
        WaitAnsweringSentMessages(thread_.get());
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
