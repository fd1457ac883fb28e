// One setup of the product at a time on the machine: two runs copying the
// same files at once meet files opened without sharing and end half
// written. The first run holds a named mutex in the global namespace (seen
// from every session and account) for as long as this object lives; a run
// that finds it held, or cannot open it because another account made it,
// is not the first.
#pragma once

#include "instutils/Handles.h"

namespace qwp {

extern const char kSetupMutexName[];  // "Global\QuilvaneWordProcessorSetup"

class SingleInstance {
public:
    SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool IsFirst() const { return first_; }

private:
    UniqueKernelHandle mutex_;
    bool first_ = false;
};

}  // namespace qwp
