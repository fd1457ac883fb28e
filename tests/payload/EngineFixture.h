// Shared set-up of the install engine tests: the real catalogue from this
// program's embedded payload, a fresh destination folder, the shared data
// folder emptied before and after, and a scripted user at the dialog.
#pragma once

#include "instutils/InstUtils.h"
#include "payload/AttachFiles.h"
#include "payload/InstallPlan.h"
#include "tests/support/ScriptedFrontEnd.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace qwp::test {

// The shared data folder the plan writes to; never a relative path, which
// the clean-up would look for below the current directory.
inline std::string SharedDataFolder() {
    const std::string common = GetSpecialFolder(CSIDL_COMMON_APPDATA);
    if (common.size() < 3 || common[1] != ':') {
        ADD_FAILURE() << "no common application data folder: \"" << common << "\"";
        std::abort();
    }
    return JoinPath(common, "Quilvane\\");
}

// The removable drive the test environment sets up, or empty.
inline std::string RemovableDrive() { return Environment("QWP_REMOVABLE_DRIVE"); }

class EngineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { catalogue_ = new TAttachedFiles(); }
    static void TearDownTestSuite() {
        delete catalogue_;
        catalogue_ = nullptr;
    }

    void SetUp() override {
        RemoveTree(SharedDataFolder());
        target_.MainDir = dest_.Path();
        target_.SelectedComponents = 0x3F;
        OpenInstallLog(target_.MainDir);
    }
    void TearDown() override {
        CloseInstallLog();
        RemoveTree(SharedDataFolder());
        ASSERT_EQ(LogSuppression, 0) << "the suppression counter must be balanced";
    }

    // A destination on the removable drive, emptied first.
    bool UsePortableDestination() {
        if (RemovableDrive().empty()) return false;
        portable_ = RemovableDrive() + "\\Quilvane\\";
        RemoveTree(portable_);
        CreateDirectoryA(portable_.c_str(), nullptr);
        target_.MainDir = portable_;
        OpenInstallLog(target_.MainDir);
        return true;
    }

    static TAttachedFiles& catalogue() { return *catalogue_; }
    const TAttachedFile& Entry(const std::string& name) {
        const TAttachedFile* entry = catalogue().FindEntry(name);
        if (!entry) {
            ADD_FAILURE() << "the payload has no entry " << name;
            std::abort();
        }
        return *entry;
    }

    static inline TAttachedFiles* catalogue_ = nullptr;
    TInstallPlan plan_{catalogue()};
    TempFolder dest_;
    std::string portable_;
    InstallTarget target_;
    ScriptedFrontEnd user_;
};

}  // namespace qwp::test
