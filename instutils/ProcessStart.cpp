#include "instutils/ProcessStart.h"

#include "instutils/InstUtils.h"

#include <ole2.h>

namespace qwp {
namespace {

bool InitializeCom(ComApartment apartment) {
    if (apartment == ComApartment::WithWindows) return SUCCEEDED(OleInitialize(nullptr));
    return SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
}

}  // namespace

ProcessStart::ProcessStart(ComApartment apartment) : apartment_(apartment), comInitialized_(InitializeCom(apartment)) {
    InitInstUtils();
}

ProcessStart::~ProcessStart() {
    FinalizeInstUtils();
    if (!comInitialized_) return;
    if (apartment_ == ComApartment::WithWindows)
        OleUninitialize();
    else
        CoUninitialize();
}

}  // namespace qwp
