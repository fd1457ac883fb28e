// Work handed to a thread of its own: it runs beside the caller, what it
// throws comes out of Wait on the caller's thread, and the task never
// outlives what its work refers to.
#include "instutils/BackgroundTask.h"
#include "instutils/Handles.h"
#include "instutils/SetupError.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <new>
#include <stdexcept>
#include <string>

namespace qwp {
namespace {

struct Meeting {
    UniqueKernelHandle callerWent{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    DWORD workThread = 0;
    DWORD waited = WAIT_FAILED;
};

TEST(BackgroundTask, RunsBesideTheCallerOnAnotherThread) {
    Meeting meeting;
    ASSERT_TRUE(meeting.callerWent);
    BackgroundTask task(
        [](void* context) {
            Meeting& meeting = *static_cast<Meeting*>(context);
            meeting.workThread = GetCurrentThreadId();
            // Done on the spot, the work would wait here for a caller that
            // has not yet gone on.
            meeting.waited = WaitForSingleObject(meeting.callerWent.get(), 10000);
        },
        &meeting);
    SetEvent(meeting.callerWent.get());
    task.Wait();
    EXPECT_EQ(meeting.waited, WAIT_OBJECT_0);
    EXPECT_NE(meeting.workThread, 0u);
    EXPECT_NE(meeting.workThread, GetCurrentThreadId());
}

// Only the reason travels, as with an exception that reached a window.
TEST(BackgroundTask, WhatTheWorkThrowsIsThrownByWaitByItsReason) {
    struct Case {
        const char* name;
        void (*work)(void*);
        std::string expected;  // "bad_alloc", or SetupError's text
    };
    const Case cases[] = {
        {"runtime error", [](void*) { throw std::runtime_error("the payload resource is missing"); },
         "the payload resource is missing"},
        {"setup error", [](void*) { throw SetupError("Cannot create the folder."); }, "Cannot create the folder."},
        {"out of memory", [](void*) { throw std::bad_alloc(); }, "bad_alloc"},
        {"anything else", [](void*) { throw 42; }, "An unknown error occurred."},
    };
    for (const Case& c : cases) {
        BackgroundTask task(c.work, nullptr);
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

// The work is held until just before the task's destructor runs (the
// release is the scope's last object), so the destructor finds it still
// going and must wait for it. In rounds: a destructor that did not wait
// would still find the work done now and then.
TEST(BackgroundTask, EndsOnlyAfterItsWorkWhenNobodyWaited) {
    struct Held {
        UniqueKernelHandle released{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
        DWORD waited = WAIT_FAILED;
        bool finished = false;
    };
    struct Release {
        HANDLE event;
        ~Release() { SetEvent(event); }
    };
    int unfinished = 0;
    for (int round = 0; round < 20; ++round) {
        Held held;
        ASSERT_TRUE(held.released);
        {
            BackgroundTask task(
                [](void* context) {
                    Held& held = *static_cast<Held*>(context);
                    held.waited = WaitForSingleObject(held.released.get(), 10000);
                    held.finished = true;
                },
                &held);
            Release release{held.released.get()};
        }
        EXPECT_EQ(held.waited, WAIT_OBJECT_0);
        if (!held.finished) ++unfinished;
    }
    EXPECT_EQ(unfinished, 0) << "rounds in which the task ended before its work";
}

}  // namespace
}  // namespace qwp
