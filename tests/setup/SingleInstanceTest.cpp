// The lock against a second setup, made through stand-ins for the system's
// private namespace calls (which Wine lacks), and once for real.
#include "setup/SingleInstance.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qwp {
namespace {

// What the stand-ins answer and what they were asked.
struct Fake {
    bool namespaceExists = false;  // another setup made the namespace first
    DWORD openNamespaceError = 0;  // 0: opens
    DWORD mutexError = 0;          // the error after the mutex's creation; with a null mutex when not
                                   // ERROR_ALREADY_EXISTS
    std::vector<std::string> calls;
    std::string mutexName;
    bool administratorsInBoundary = false;
    bool namespaceHasAccessRules = false;
    int boundariesLeft = 0, namespacesLeft = 0;
};
Fake fake;

HANDLE kBoundary = reinterpret_cast<HANDLE>(0x100);
HANDLE kNamespace = reinterpret_cast<HANDLE>(0x200);

HANDLE WINAPI FakeCreateBoundary(LPCSTR name, ULONG) {
    fake.calls.push_back(std::string("boundary ") + name);
    ++fake.boundariesLeft;
    return kBoundary;
}
BOOL WINAPI FakeAddSid(HANDLE* boundary, PSID sid) {
    fake.administratorsInBoundary = *boundary == kBoundary && IsWellKnownSid(sid, WinBuiltinAdministratorsSid);
    return TRUE;
}
HANDLE WINAPI FakeCreateNamespace(LPSECURITY_ATTRIBUTES attributes, LPVOID, LPCSTR alias) {
    fake.calls.push_back(std::string("create ") + alias);
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    fake.namespaceHasAccessRules = attributes && GetSecurityDescriptorDacl(attributes->lpSecurityDescriptor, &present,
                                                                           &acl, &defaulted) &&
                                   present && acl && acl->AceCount == 2;
    if (fake.namespaceExists) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return nullptr;
    }
    ++fake.namespacesLeft;
    return kNamespace;
}
HANDLE WINAPI FakeOpenNamespace(LPVOID, LPCSTR alias) {
    fake.calls.push_back(std::string("open ") + alias);
    if (fake.openNamespaceError) {
        SetLastError(fake.openNamespaceError);
        return nullptr;
    }
    ++fake.namespacesLeft;
    return kNamespace;
}
BOOLEAN WINAPI FakeCloseNamespace(HANDLE space, ULONG) {
    if (space == kNamespace) --fake.namespacesLeft;
    return TRUE;
}
VOID WINAPI FakeDeleteBoundary(HANDLE boundary) {
    if (boundary == kBoundary) --fake.boundariesLeft;
}
// A real, unnamed mutex stands for the named one, so its handle is closed
// as usual.
HANDLE WINAPI FakeCreateMutex(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR name) {
    fake.calls.push_back(std::string("mutex ") + name);
    if (fake.mutexError && fake.mutexError != ERROR_ALREADY_EXISTS) {
        SetLastError(fake.mutexError);
        return nullptr;
    }
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    SetLastError(fake.mutexError);
    return mutex;
}

LockCalls FakeCalls() {
    return LockCalls{FakeCreateBoundary, FakeAddSid,         FakeCreateNamespace, FakeOpenNamespace,
                     FakeCloseNamespace, FakeDeleteBoundary, FakeCreateMutex};
}

TEST(SingleInstance, PrivateNamespaceOfTheAdministratorsDecidesWhoRuns) {
    const struct {
        const char* name;
        bool namespaceExists;
        DWORD openNamespaceError, mutexError;
        InstanceState state;
        DWORD error;
        const char* calls;
    } cases[] = {
        {"first setup", false, 0, 0, InstanceState::First, 0,
         "boundary QuilvaneSetup|create QuilvaneSetup|mutex QuilvaneSetup\\QuilvaneWordProcessorSetup"},
        {"namespace made by a setup that ended", true, 0, 0, InstanceState::First, 0,
         "boundary QuilvaneSetup|create QuilvaneSetup|open QuilvaneSetup|"
         "mutex QuilvaneSetup\\QuilvaneWordProcessorSetup"},
        {"another setup holds the mutex", true, 0, ERROR_ALREADY_EXISTS, InstanceState::AnotherRuns, 0,
         "boundary QuilvaneSetup|create QuilvaneSetup|open QuilvaneSetup|"
         "mutex QuilvaneSetup\\QuilvaneWordProcessorSetup"},
        {"another account's mutex", false, 0, ERROR_ACCESS_DENIED, InstanceState::AnotherRuns, ERROR_ACCESS_DENIED,
         "boundary QuilvaneSetup|create QuilvaneSetup|mutex QuilvaneSetup\\QuilvaneWordProcessorSetup"},
        {"another account's namespace", true, ERROR_ACCESS_DENIED, 0, InstanceState::AnotherRuns, ERROR_ACCESS_DENIED,
         "boundary QuilvaneSetup|create QuilvaneSetup|open QuilvaneSetup"},
        {"an object of another kind", false, 0, ERROR_INVALID_HANDLE, InstanceState::Failed, ERROR_INVALID_HANDLE,
         "boundary QuilvaneSetup|create QuilvaneSetup|mutex QuilvaneSetup\\QuilvaneWordProcessorSetup"},
        {"namespace that cannot be opened", true, ERROR_INVALID_PARAMETER, 0, InstanceState::Failed,
         ERROR_INVALID_PARAMETER, "boundary QuilvaneSetup|create QuilvaneSetup|open QuilvaneSetup"},
    };
    for (const auto& c : cases) {
        fake = Fake{};
        fake.namespaceExists = c.namespaceExists;
        fake.openNamespaceError = c.openNamespaceError;
        fake.mutexError = c.mutexError;
        {
            const SingleInstance instance(FakeCalls());
            EXPECT_EQ(instance.State(), c.state) << c.name;
            EXPECT_EQ(instance.Error(), c.error) << c.name;
            EXPECT_TRUE(fake.administratorsInBoundary) << c.name;
            EXPECT_TRUE(fake.namespaceHasAccessRules) << c.name;
            std::string calls;
            for (const std::string& call : fake.calls) calls += (calls.empty() ? "" : "|") + call;
            EXPECT_EQ(calls, c.calls) << c.name;
        }
        EXPECT_EQ(fake.boundariesLeft, 0) << c.name << ": the boundary outlived the lock";
        EXPECT_EQ(fake.namespacesLeft, 0) << c.name << ": the namespace outlived the lock";
    }
}

TEST(SingleInstance, WithoutPrivateNamespacesTheGlobalNameIsTheLock) {
    LockCalls calls = FakeCalls();
    calls.createNamespace = nullptr;
    fake = Fake{};
    const SingleInstance instance(calls);
    EXPECT_FALSE(instance.InPrivateNamespace());
    EXPECT_EQ(instance.MutexName(), "Global\\QuilvaneWordProcessorSetup");
    EXPECT_EQ(instance.State(), InstanceState::First);
    ASSERT_EQ(fake.calls.size(), 1u);
    EXPECT_EQ(fake.calls[0], "mutex Global\\QuilvaneWordProcessorSetup");
}

// The system's own calls: a second lock in the same process sees the first.
TEST(SingleInstance, TheSystemsLockIsSeenByASecondOne) {
    const SingleInstance first;
    ASSERT_EQ(first.State(), InstanceState::First) << first.Error();
    const SingleInstance second;
    EXPECT_EQ(second.State(), InstanceState::AnotherRuns);
    EXPECT_EQ(second.MutexName(), first.MutexName());
}

}  // namespace
}  // namespace qwp
