// HKEY_LOCAL_MACHINE redirected to a scratch key, for the tests that write
// the uninstall entry.
#pragma once

#include "instutils/Handles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace qwp::test {

// HKEY_LOCAL_MACHINE of this process redirected to a fresh key below
// HKEY_CURRENT_USER for as long as this lives; the key is deleted before and
// after. Only for the few calls that write the machine's keys: while it
// lives, whatever else the process reads from HKEY_LOCAL_MACHINE (the
// shell's folders among it) is not there.
class MachineRegistryRedirect {
public:
    MachineRegistryRedirect()
        : path_("Software\\Quilvane Setup Tests\\Machine " + std::to_string(GetCurrentProcessId())) {
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr) != ERROR_SUCCESS) {
            ADD_FAILURE() << "the machine scratch key could not be made";
            return;
        }
        key_.reset(key);
        if (RegOverridePredefKey(HKEY_LOCAL_MACHINE, key_.get()) != ERROR_SUCCESS) {
            ADD_FAILURE() << "HKEY_LOCAL_MACHINE could not be redirected";
            key_.reset();
        }
    }
    ~MachineRegistryRedirect() {
        if (key_) RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        key_.reset();
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    }
    MachineRegistryRedirect(const MachineRegistryRedirect&) = delete;
    MachineRegistryRedirect& operator=(const MachineRegistryRedirect&) = delete;

    bool Active() const { return key_.valid(); }
    // A key below the redirected HKEY_LOCAL_MACHINE as a path below
    // HKEY_CURRENT_USER, for the raw reads of RegistryScratch.h.
    std::string Below(const std::string& machinePath) const { return path_ + "\\" + machinePath; }

private:
    std::string path_;
    UniqueRegKey key_;
};

}  // namespace qwp::test
