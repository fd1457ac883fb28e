// Work handed to a thread of its own: it runs beside the caller, what it
// throws comes out of Wait on the caller's thread, and the task never
// outlives what its work refers to.
#include "instutils/BackgroundTask.h"
#include "instutils/Handles.h"
#include "instutils/SetupError.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

namespace qwp {
namespace {

TEST(BackgroundTask, RunsBesideTheCallerOnAnotherThread) {
    UniqueKernelHandle callerWent(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(callerWent);
    DWORD workThread = 0;
    DWORD waited = WAIT_FAILED;
    BackgroundTask task([&] {
        workThread = GetCurrentThreadId();
        // Done on the spot, the work would wait here for a caller that has
        // not yet gone on.
        waited = WaitForSingleObject(callerWent.get(), 10000);
    });
    SetEvent(callerWent.get());
    task.Wait();
    EXPECT_EQ(waited, WAIT_OBJECT_0);
    EXPECT_NE(workThread, 0u);
    EXPECT_NE(workThread, GetCurrentThreadId());
}

// Only the reason travels, as with an exception that reached a window.
TEST(BackgroundTask, WhatTheWorkThrowsIsThrownByWaitByItsReason) {
    struct Case {
        const char* name;
        std::function<void()> work;
        std::string expected;  // "bad_alloc", or SetupError's text
    };
    const Case cases[] = {
        {"runtime error", [] { throw std::runtime_error("the payload resource is missing"); },
         "the payload resource is missing"},
        {"setup error", [] { throw SetupError("Cannot create the folder."); }, "Cannot create the folder."},
        {"out of memory", [] { throw std::bad_alloc(); }, "bad_alloc"},
        {"anything else", [] { throw 42; }, "An unknown error occurred."},
    };
    for (const Case& c : cases) {
        BackgroundTask task(c.work);
        std::string seen = "nothing thrown";
        try {
            task.Wait();
        } catch (const std::bad_alloc&) {
            seen = "bad_alloc";
        } catch (const SetupError& error) {
            seen = error.what();
        } catch (...) {
            seen = "another type";
        }
        EXPECT_EQ(seen, c.expected) << c.name;
        EXPECT_NO_THROW(task.Wait()) << c.name << ": thrown once only";
    }
}

TEST(BackgroundTask, EndsOnlyAfterItsWorkWhenNobodyWaited) {
    bool finished = false;
    {
        BackgroundTask task([&finished] {
            Sleep(200);
            finished = true;
        });
    }
    EXPECT_TRUE(finished);
}

}  // namespace
}  // namespace qwp
