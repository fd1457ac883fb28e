// Shared set-up of the wizard tests: the real catalogue from this program's
// embedded payload as the global one, the registry redirected to a scratch
// key, a scripted user at the message dialog, and the wizard window made in
// this process.
#pragma once

#include "payload/AttachFiles.h"
#include "tests/support/RegistryScratch.h"
#include "tests/support/ScriptedAnswerer.h"
#include "tests/support/TempFolder.h"
#include "wizard/ControlIds.h"
#include "wizard/MainDlg.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace qwp::test {

class WizardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        catalogue_ = new TAttachedFiles();
        AttachedFiles = catalogue_;
    }
    static void TearDownTestSuite() {
        AttachedFiles = nullptr;
        delete catalogue_;
        catalogue_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(scratch_.Active()) << "the registry could not be redirected"; }
    void TearDown() override { form_.reset(); }

    // The wizard with these program arguments, shown without its modal loop
    // (a shown window takes the keyboard focus the page changes give).
    TMainDlgForm& MakeForm(const std::vector<std::string>& arguments = {}, int dpi = 0) {
        form_ = std::make_unique<TMainDlgForm>(nullptr, arguments, dpi);
        ShowWindow(form_->Handle(), SW_SHOW);
        return *form_;
    }
    TMainDlgForm& form() { return *form_; }

    HWND Ctl(int id) const { return form_->Control(id); }
    std::string TextOf(int id) const {
        char text[4096] = {};
        GetWindowTextA(Ctl(id), text, sizeof text);
        return text;
    }
    bool IsChecked(int id) const { return SendMessageA(Ctl(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void Click(int id) { SendMessageA(Ctl(id), BM_CLICK, 0, 0); }
    void Next() { Click(IDC_NextBtn); }
    void Back() { Click(IDC_BackBtn); }
    // Sends a close request as the close box does.
    void CloseBox() { SendMessageA(form_->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }

    static inline TAttachedFiles* catalogue_ = nullptr;
    RegistryScratch scratch_;
    ScriptedAnswerer answerer_;
    std::unique_ptr<TMainDlgForm> form_;
};

}  // namespace qwp::test
