// A caller that owns windows keeps answering the messages sent to them while
// it waits for its background work: a program broadcasting a message would
// otherwise stall until the work is done.
#include "instutils/BackgroundTask.h"
#include "instutils/Handles.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace qwp {
namespace {

struct Sent {
    HWND window = nullptr;
    LRESULT answer = 0;
    BOOL delivered = FALSE;
};

LRESULT CALLBACK Answering(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) return 42;
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(BackgroundTaskMessages, WaitAnswersWhatIsSentToTheCallersWindowsAndKeepsPostedOnes) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Answering;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QwpBackgroundTaskAnswering";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA(windowClass.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(PostMessageA(window, WM_APP + 1, 7, 0));

    Sent sent;
    sent.window = window;
    {
        // The work sends to the caller's window and waits for the answer:
        // a caller that only waited for the thread would never give it, and
        // the send would run into its time-out.
        BackgroundTask task(
            [](void* context) {
                Sent& sent = *static_cast<Sent*>(context);
                DWORD_PTR answer = 0;
                sent.delivered = SendMessageTimeoutA(sent.window, WM_APP, 0, 0, SMTO_NORMAL, 10000, &answer) != 0;
                sent.answer = static_cast<LRESULT>(answer);
            },
            &sent);
        task.Wait();
    }
    EXPECT_TRUE(sent.delivered);
    EXPECT_EQ(sent.answer, 42);

    MSG posted;
    ASSERT_TRUE(PeekMessageA(&posted, window, 0, 0, PM_REMOVE)) << "the posted message was taken away";
    EXPECT_EQ(posted.message, static_cast<UINT>(WM_APP + 1));
    EXPECT_EQ(posted.wParam, 7u);
    DestroyWindow(window);
}

}  // namespace
}  // namespace qwp
