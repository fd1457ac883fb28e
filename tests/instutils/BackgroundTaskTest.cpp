// Work handed to a thread of its own: it runs beside the caller, what it
// throws comes out of Wait on the caller's thread as it was thrown, and the
// task never outlives what its work refers to.
#include "instutils/BackgroundTask.h"
#include "instutils/Handles.h"

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

TEST(BackgroundTask, WhatTheWorkThrowsIsThrownByWaitAsItWas) {
    struct Case {
        const char* name;
        std::function<void()> work;
        std::function<bool(std::exception_ptr)> isExpected;
    };
    const Case cases[] = {
        {"runtime error", [] { throw std::runtime_error("the payload resource is missing"); },
         [](std::exception_ptr failure) {
             try {
                 std::rethrow_exception(failure);
             } catch (const std::runtime_error& error) {
                 return std::string(error.what()) == "the payload resource is missing";
             } catch (...) {
             }
             return false;
         }},
        {"out of memory", [] { throw std::bad_alloc(); },
         [](std::exception_ptr failure) {
             try {
                 std::rethrow_exception(failure);
             } catch (const std::bad_alloc&) {
                 return true;
             } catch (...) {
             }
             return false;
         }},
    };
    for (const Case& c : cases) {
        BackgroundTask task(c.work);
        std::exception_ptr failure;
        try {
            task.Wait();
        } catch (...) {
            failure = std::current_exception();
        }
        ASSERT_TRUE(failure) << c.name << ": nothing was thrown";
        EXPECT_TRUE(c.isExpected(failure)) << c.name;
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
