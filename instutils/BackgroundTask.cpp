#include "instutils/BackgroundTask.h"

#include <utility>

namespace qwp {

BackgroundTask::BackgroundTask(void (*work)(void*), void* context) : work_(work), context_(context) {
    thread_.reset(CreateThread(nullptr, 0, &BackgroundTask::Run, this, 0, nullptr));
    if (!thread_) RunWork();
}

BackgroundTask::~BackgroundTask() {
    if (thread_) WaitForSingleObject(thread_.get(), INFINITE);
}

void BackgroundTask::Wait() {
    if (thread_) {
        WaitForSingleObject(thread_.get(), INFINITE);
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
