// Shared set-up of the wizard tests: the real catalogue from this program's
// embedded payload, an install session on it for each test, the registry
// redirected to a scratch key, a scripted user at the message dialog, and
// the wizard window made in this process.
#pragma once

#include "instutils/InstUtils.h"
#include "payload/AttachFiles.h"
#include "tests/support/RegistryScratch.h"
#include "tests/support/ScriptedAnswerer.h"
#include "tests/support/TempFolder.h"
#include "wizard/ControlIds.h"
#include "instutils/EscapedException.h"
#include "wizard/MainDlg.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdint>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qwp::test {

class WizardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { catalogue_ = new TAttachedFiles(); }
    static void TearDownTestSuite() {
        delete catalogue_;
        catalogue_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(scratch_.Active()) << "the registry could not be redirected"; }
    void TearDown() override {
        form_.reset();
        session_.reset();
        CloseInstallLog();
        EXPECT_EQ(LogSuppression, 0) << "the suppression counter must be balanced";
        EXPECT_FALSE(EscapedExceptionPending()) << "an exception reached a window procedure";
        try {
            RethrowEscapedException();
        } catch (...) {
        }
    }

    // The wizard of a new session with these program arguments ("-d" as the
    // first one gives the folder), shown without its modal loop (a shown
    // window takes the keyboard focus the page changes give).
    TMainDlgForm& MakeForm(const std::vector<std::string>& arguments = {}, int dpi = 0) {
        form_.reset();
        session_ = std::make_unique<InstallSession>(*catalogue_);
        std::optional<std::string> folder;
        if (!arguments.empty() && arguments[0].rfind("-d", 0) == 0) folder = arguments[0].substr(2);
        form_ = std::make_unique<TMainDlgForm>(nullptr, *session_, folder, dpi);
        ShowWindow(form_->Handle(), SW_SHOW);
        return *form_;
    }
    TMainDlgForm& form() { return *form_; }
    InstallSession& session() { return *session_; }
    // What the setup driver does once the wizard has closed.
    void EndSession() { session_->End(*form_); }

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
    // Presses Next until the page is reached or the wizard stops moving.
    void WalkTo(int page) {
        while (form_->CurrentPage() < page && form_->ModalResult() == 0) {
            const int before = form_->CurrentPage();
            Next();
            if (form_->CurrentPage() == before) break;
        }
        ASSERT_EQ(form_->CurrentPage(), page);
    }
    // The modal run, ended by a close request (answered by the scripted
    // user's fallback, Abort) should it not end within the time: a test
    // then fails instead of hanging.
    int ShowModalWithin(DWORD milliseconds = 20000) {
        guarded_ = form_->Handle();
        timedOut_ = false;
        const UINT_PTR timer = SetTimer(nullptr, 0, milliseconds, OnModalTimeout);
        const int result = form_->ShowModal();
        KillTimer(nullptr, timer);
        EXPECT_FALSE(timedOut_) << "the modal run did not end by itself";
        return result;
    }
    static void CALLBACK OnModalTimeout(HWND, UINT, UINT_PTR, DWORD) {
        timedOut_ = true;
        PostMessageA(guarded_, WM_CLOSE, 0, 0);
    }
    static inline HWND guarded_ = nullptr;
    static inline bool timedOut_ = false;

    // The requests the scripted user has seen.
    const std::vector<MessageRequest>& Requests() const { return answerer_.Requests(); }

    static inline TAttachedFiles* catalogue_ = nullptr;
    RegistryScratch scratch_;
    ScriptedAnswerer answerer_;
    std::unique_ptr<InstallSession> session_;
    std::unique_ptr<TMainDlgForm> form_;
};

}  // namespace qwp::test

namespace qwp::test {

// A top-level window of this process that marks a running word processor
// with the property's value; hidden, as the property counts on any window.
class RunningInstanceWindow {
public:
    explicit RunningInstanceWindow(std::uintptr_t value) {
        hwnd_ = CreateWindowExA(0, "STATIC", "stand-in", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        SetPropA(hwnd_, "1.x Sorvelin", reinterpret_cast<HANDLE>(value));
    }
    ~RunningInstanceWindow() {
        RemovePropA(hwnd_, "1.x Sorvelin");
        DestroyWindow(hwnd_);
    }
    RunningInstanceWindow(const RunningInstanceWindow&) = delete;
    RunningInstanceWindow& operator=(const RunningInstanceWindow&) = delete;

private:
    HWND hwnd_;
};

// The wizard tests that run the installation: a fresh destination folder
// and the shared data folder emptied before and after.
class InstallingWizardTest : public WizardTest {
protected:
    void SetUp() override {
        WizardTest::SetUp();
        shared_ = JoinPath(GetSpecialFolder(CSIDL_COMMON_APPDATA), "Quilvane\\");
        ASSERT_GE(shared_.size(), 4u);
        RemoveTree(shared_);
    }
    void TearDown() override {
        WizardTest::TearDown();
        RemoveTree(shared_);
    }
    // The destination as the "-d" option gives it.
    std::vector<std::string> DestinationArgument() const { return {"-d" + dest_.Path()}; }

    TempFolder dest_;
    std::string shared_;
};

}  // namespace qwp::test
