#include "instutils/ProcessStart.h"

#include "instutils/InstUtils.h"

#include <ole2.h>

namespace qwp {

ProcessStart::ProcessStart() : oleInitialized_(SUCCEEDED(OleInitialize(nullptr))) { InitInstUtils(); }

ProcessStart::~ProcessStart() {
    FinalizeInstUtils();
    if (oleInitialized_) OleUninitialize();
}

}  // namespace qwp
