// What the installer-utility tests share: the unit's process-wide state saved
// and put back around each test, and a fresh folder per test.
#pragma once

#include "instutils/Handles.h"
#include "instutils/InstUtils.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace qwp::test {

using Lines = std::vector<std::string>;

inline std::string Attributes(const std::string& path) {
    char text[16];
    snprintf(text, sizeof text, "0x%lx", GetFileAttributesA(path.c_str()));
    return text;
}

class InstUtilsTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = GetCurrentFolder();
        log_ = std::move(InstallLog);
        logPath_ = InstallLogPath;
        suppression_ = LogSuppression;
        temp_ = Environment("TMP");
        InstallLogPath.clear();
        LogSuppression = 0;
    }
    void TearDown() override {
        SetCurrentDirectoryA(folder_.c_str());
        InstallLog = std::move(log_);
        InstallLogPath = logPath_;
        LogSuppression = suppression_;
        RedirectTemp(temp_);
    }
    void StartLog() { InstallLog = std::make_unique<Lines>(); }
    Lines Log() const { return InstallLog ? *InstallLog : Lines(); }

    TempFolder scratch_;

private:
    std::string folder_, logPath_, temp_;
    std::unique_ptr<Lines> log_;
    std::int32_t suppression_ = 0;
};

}  // namespace qwp::test
