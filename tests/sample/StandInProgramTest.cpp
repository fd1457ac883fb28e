// The stand-in word processor that the sample payload carries: the setup's
// later steps rely on its window property, its start log and its quick exit
// for the association and interface options.
#include "tests/support/ProcessDriver.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace qwp::test {
namespace {

constexpr DWORD kTimeout = 20000;

class StandIn : public ::testing::Test {
protected:
    void SetUp() override {
        program_ = folder_ / "qwp.exe";
        ASSERT_TRUE(CopyFileA(BuildFile("qwp.exe").c_str(), program_.c_str(), FALSE));
    }
    std::string StartsLog() { return ReadWholeFile(folder_ / "qwp-starts.log"); }

    TempFolder folder_;
    std::string program_;
};

TEST_F(StandIn, AssociationAndInterfaceOptionsExitAtOnceAndAreLogged) {
    const std::string assoc = "\"" + program_ + "\" -assoc qdpr";
    const std::string ui = "\"" + program_ + "\" -ui en";
    {
        ChildProcess run(assoc);
        ASSERT_TRUE(run.Started());
        EXPECT_EQ(run.WaitForExit(kTimeout), 0u);
    }
    {
        ChildProcess run(ui);
        ASSERT_TRUE(run.Started());
        EXPECT_EQ(run.WaitForExit(kTimeout), 0u);
    }
    EXPECT_EQ(StartsLog(), assoc + "\r\n" + ui + "\r\n");
}

TEST_F(StandIn, PlainStartShowsTheMarkedWindowUntilClosed) {
    ChildProcess run("\"" + program_ + "\"");
    ASSERT_TRUE(run.Started());
    HWND window = WaitForWindow(run.Id(), "Quilvane Word Processor", kTimeout);
    ASSERT_NE(window, nullptr);
    EXPECT_NE(GetPropA(window, "1.x Sorvelin"), nullptr) << "a running word processor is known by this property";
    EXPECT_EQ(run.WaitForExit(200), static_cast<DWORD>(STILL_ACTIVE));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(run.WaitForExit(kTimeout), 0u);
    EXPECT_EQ(StartsLog(), "\"" + program_ + "\"\r\n");
}

}  // namespace
}  // namespace qwp::test
