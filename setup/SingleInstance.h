// One setup of the product at a time on the machine: two runs copying the
// same files at once meet files opened without sharing and end half
// written. The first run holds a named mutex for as long as this object
// lives; a run that finds it held, or cannot open it because another
// account made it, is not the first.
//
// The mutex lives in a private namespace bounded by the Administrators
// group, which only administrators may create or open: in the global
// namespace any local user could create the name first and so keep every
// setup from running. Where the system has no private namespaces (Wine), the
// global name is used and the run log says so.
#pragma once

#include "instutils/Handles.h"

#include <windows.h>

#include <string>

namespace qwp {

extern const char kSetupMutexName[];      // "QuilvaneWordProcessorSetup"
extern const char kSetupNamespaceAlias[];  // "QuilvaneSetup"
extern const char kGlobalSetupMutexName[];  // "Global\QuilvaneWordProcessorSetup"

// The system calls the lock is made with: the private namespace functions
// (null where the system lacks them) and the mutex's creation. Tests give
// their own.
struct LockCalls {
    HANDLE(WINAPI* createBoundary)(LPCSTR name, ULONG flags);
    BOOL(WINAPI* addSidToBoundary)(HANDLE* boundary, PSID sid);
    HANDLE(WINAPI* createNamespace)(LPSECURITY_ATTRIBUTES attributes, LPVOID boundary, LPCSTR alias);
    HANDLE(WINAPI* openNamespace)(LPVOID boundary, LPCSTR alias);
    BOOLEAN(WINAPI* closeNamespace)(HANDLE space, ULONG flags);
    VOID(WINAPI* deleteBoundary)(HANDLE boundary);
    HANDLE(WINAPI* createMutex)(LPSECURITY_ATTRIBUTES attributes, BOOL owned, LPCSTR name);
};

// kernel32's functions, looked up by name.
LockCalls SystemLockCalls();

enum class InstanceState {
    First,        // this run holds the lock
    AnotherRuns,  // another setup holds it, in this or another account
    Failed,       // the lock could not be made: Error() says why
};

class SingleInstance {
public:
    explicit SingleInstance(const LockCalls& calls = SystemLockCalls());
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    InstanceState State() const { return state_; }
    bool IsFirst() const { return state_ == InstanceState::First; }
    // The system's error when the lock could not be made.
    DWORD Error() const { return error_; }
    // False when the system had no private namespaces and the global name
    // was used.
    bool InPrivateNamespace() const { return privateNamespace_; }
    // The name the mutex was made with.
    const std::string& MutexName() const { return mutexName_; }

private:
    bool OpenNamespace();
    void Decide(HANDLE mutex, DWORD error);

    LockCalls calls_;
    HANDLE boundary_ = nullptr;
    HANDLE namespace_ = nullptr;  // held for the whole run
    UniqueKernelHandle mutex_;
    InstanceState state_ = InstanceState::Failed;
    DWORD error_ = 0;
    bool privateNamespace_ = false;
    std::string mutexName_;
};

}  // namespace qwp
