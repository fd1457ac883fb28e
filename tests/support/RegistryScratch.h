// Registry isolation for tests: HKEY_CURRENT_USER of the test process is
// redirected to a scratch key (RegOverridePredefKey) that is deleted before
// and after, so the code under test writes where it always writes and
// nothing of the user's own registry is touched. The redirection covers
// every call in this process that names HKEY_CURRENT_USER; other processes
// (programs the test starts) see the real key.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

namespace qwp::test {

class RegistryScratch {
public:
    // Deletes what an earlier process of the same id may have left, creates
    // the scratch key and redirects HKEY_CURRENT_USER to it. A failure is
    // reported as a test failure and leaves HKEY_CURRENT_USER as it was.
    RegistryScratch();
    // Ends the redirection and deletes the scratch tree.
    ~RegistryScratch();
    RegistryScratch(const RegistryScratch&) = delete;
    RegistryScratch& operator=(const RegistryScratch&) = delete;

    bool Active() const { return scratch_ != nullptr; }
    // The scratch key's path below the real HKEY_CURRENT_USER.
    const std::string& RealPath() const { return path_; }

private:
    HKEY scratch_ = nullptr;
    std::string path_;
};

// A fixture for tests that need nothing else.
class RegistryScratchTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(scratch_.Active()) << "the registry could not be redirected"; }
    RegistryScratch scratch_;
};

// Direct registry access for assertions, independent of the code under test.
// Paths are below HKEY_CURRENT_USER (the scratch key while one is active).
struct RawValue {
    DWORD type = 0;
    std::string data;  // the stored bytes, terminating NULs included
};
bool KeyExists(const std::string& path);
std::optional<RawValue> ReadRawValue(const std::string& path, const std::string& name);
// A REG_SZ value's text without its terminating NUL; nullopt for another type.
std::optional<std::string> ReadSzValue(const std::string& path, const std::string& name);
// A REG_DWORD value of 4 bytes; nullopt otherwise.
std::optional<DWORD> ReadDwordValue(const std::string& path, const std::string& name);
// Creates the key when missing and stores the bytes with the given type.
bool WriteRawValue(const std::string& path, const std::string& name, DWORD type, const std::string& data);
bool WriteSzValue(const std::string& path, const std::string& name, const std::string& text);
bool WriteDwordValue(const std::string& path, const std::string& name, DWORD value);
// Creates the key volatile (its parents as they come). Below a volatile key
// no ordinary key can be created, which makes a write of the code under test
// fail the way a denied one does (a read-only handle stops nothing under
// Wine).
bool MakeVolatileKey(const std::string& path);

}  // namespace qwp::test
