#include "setup/SingleInstance.h"

#include <sddl.h>

namespace qwp {

const char kSetupMutexName[] = "QuilvaneWordProcessorSetup";
const char kSetupNamespaceAlias[] = "QuilvaneSetup";
const char kGlobalSetupMutexName[] = "Global\\QuilvaneWordProcessorSetup";

namespace {

// Administrators and the system may use the namespace; nobody else.
const char kNamespaceAccess[] = "D:(A;;GA;;;BA)(A;;GA;;;SY)";

template <class Function>
Function Find(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

LockCalls SystemLockCalls() {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    LockCalls calls{};
    calls.createBoundary = Find<decltype(calls.createBoundary)>(kernel, "CreateBoundaryDescriptorA");
    calls.addSidToBoundary = Find<decltype(calls.addSidToBoundary)>(kernel, "AddSIDToBoundaryDescriptor");
    calls.createNamespace = Find<decltype(calls.createNamespace)>(kernel, "CreatePrivateNamespaceA");
    calls.openNamespace = Find<decltype(calls.openNamespace)>(kernel, "OpenPrivateNamespaceA");
    calls.closeNamespace = Find<decltype(calls.closeNamespace)>(kernel, "ClosePrivateNamespace");
    calls.deleteBoundary = Find<decltype(calls.deleteBoundary)>(kernel, "DeleteBoundaryDescriptor");
    calls.createMutex = &CreateMutexA;
    return calls;
}

SingleInstance::SingleInstance(const LockCalls& calls) : calls_(calls) {
    // The mutex is never waited for: holding a handle to it is the mark, and
    // the system drops it when this process ends in any way.
    if (calls_.createBoundary && calls_.addSidToBoundary && calls_.createNamespace && calls_.openNamespace &&
        calls_.closeNamespace && calls_.deleteBoundary) {
        if (!OpenNamespace()) return;
        privateNamespace_ = true;
        mutexName_ = std::string(kSetupNamespaceAlias) + "\\" + kSetupMutexName;
    } else {
        mutexName_ = kGlobalSetupMutexName;
    }
    SetLastError(ERROR_SUCCESS);
    const HANDLE mutex = calls_.createMutex(nullptr, FALSE, mutexName_.c_str());
    Decide(mutex, GetLastError());
}

SingleInstance::~SingleInstance() {
    mutex_.reset();
    if (namespace_) calls_.closeNamespace(namespace_, 0);
    if (boundary_) calls_.deleteBoundary(boundary_);
}

// Creates the namespace, or opens it where another setup made it first.
bool SingleInstance::OpenNamespace() {
    boundary_ = calls_.createBoundary(kSetupNamespaceAlias, 0);
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof sid;
    if (!boundary_ || !CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &sidSize) ||
        !calls_.addSidToBoundary(&boundary_, sid)) {
        Decide(nullptr, GetLastError());
        return false;
    }
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kNamespaceAccess, SDDL_REVISION_1, &descriptor,
                                                              nullptr)) {
        Decide(nullptr, GetLastError());
        return false;
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    namespace_ = calls_.createNamespace(&attributes, boundary_, kSetupNamespaceAlias);
    DWORD error = GetLastError();
    LocalFree(descriptor);
    if (!namespace_ && error == ERROR_ALREADY_EXISTS) {
        namespace_ = calls_.openNamespace(boundary_, kSetupNamespaceAlias);
        error = GetLastError();
    }
    if (!namespace_) {
        Decide(nullptr, error);
        return false;
    }
    return true;
}

// Access denied is another account's lock; any other failure (an object of
// another kind with the name among them) is no answer at all.
void SingleInstance::Decide(HANDLE mutex, DWORD error) {
    mutex_.reset(mutex);
    if (mutex) {
        state_ = error == ERROR_ALREADY_EXISTS ? InstanceState::AnotherRuns : InstanceState::First;
    } else {
        state_ = error == ERROR_ACCESS_DENIED ? InstanceState::AnotherRuns : InstanceState::Failed;
        error_ = error;
    }
}

}  // namespace qwp
