// The running-instance test against top-level windows of this process.
#include "registration/RunningInstance.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace qwp::test {
namespace {

// A top-level window made by the test, destroyed with it. Created without
// WS_VISIBLE, so it stays hidden until shown.
class TopLevelWindow {
public:
    TopLevelWindow()
        : window_(CreateWindowExA(0, "STATIC", "running-instance test", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)) {}
    ~TopLevelWindow() {
        if (window_) {
            RemovePropA(window_, RunningInstanceProperty);
            DestroyWindow(window_);
        }
    }
    TopLevelWindow(const TopLevelWindow&) = delete;
    TopLevelWindow& operator=(const TopLevelWindow&) = delete;
    HWND get() const { return window_; }

private:
    HWND window_;
};

TEST(RunningInstance, PropertyName) {
    EXPECT_STREQ("1.x Sorvelin", RunningInstanceProperty);
}

TEST(RunningInstance, NoMarkedWindow) {
    TopLevelWindow plain;
    ASSERT_NE(nullptr, plain.get());
    EXPECT_FALSE(IsWordProcessorRunning());
}

TEST(RunningInstance, MarkedWindowCountsVisibleOrHidden) {
    TopLevelWindow marked;
    ASSERT_NE(nullptr, marked.get());
    ASSERT_TRUE(SetPropA(marked.get(), RunningInstanceProperty, reinterpret_cast<HANDLE>(1)));
    ASSERT_FALSE(IsWindowVisible(marked.get()));
    EXPECT_TRUE(IsWordProcessorRunning()) << "hidden";
    ShowWindow(marked.get(), SW_SHOWNOACTIVATE);
    EXPECT_TRUE(IsWordProcessorRunning()) << "visible";
    ShowWindow(marked.get(), SW_SHOWMINNOACTIVE);
    EXPECT_TRUE(IsWordProcessorRunning()) << "minimised";

    RemovePropA(marked.get(), RunningInstanceProperty);
    EXPECT_FALSE(IsWordProcessorRunning()) << "property removed";
}

TEST(RunningInstance, ZeroValueDoesNotCount) {
    TopLevelWindow window;
    ASSERT_NE(nullptr, window.get());
    // SetPropA with a NULL data handle stores the property with the value 0.
    ASSERT_TRUE(SetPropA(window.get(), RunningInstanceProperty, nullptr));
    EXPECT_FALSE(IsWordProcessorRunning());
}

TEST(RunningInstance, ChildWindowsAreNotLookedAt) {
    TopLevelWindow parent;
    ASSERT_NE(nullptr, parent.get());
    const HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, parent.get(), nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, child);
    ASSERT_TRUE(SetPropA(child, RunningInstanceProperty, reinterpret_cast<HANDLE>(1)));
    EXPECT_FALSE(IsWordProcessorRunning());
    RemovePropA(child, RunningInstanceProperty);
}

}  // namespace
}  // namespace qwp::test
