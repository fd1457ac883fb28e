#include "setup/SingleInstance.h"

#include <windows.h>

namespace qwp {

const char kSetupMutexName[] = "Global\\QuilvaneWordProcessorSetup";

SingleInstance::SingleInstance() {
    // The mutex is never waited for: holding a handle to it is the mark, and
    // the system drops it when this process ends in any way.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kSetupMutexName);
    const DWORD error = GetLastError();
    mutex_.reset(mutex);
    first_ = mutex != nullptr && error != ERROR_ALREADY_EXISTS;
}

}  // namespace qwp
