// Folders on the network asked on a worker that is given up on after its
// time-out; local folders asked directly.
#include "instutils/NetworkFolder.h"

#include "tests/instutils/InstUtilsFixture.h"

#include <atomic>
#include <chrono>

namespace qwp::test {
namespace {

using NetworkFolderTest = InstUtilsTest;
using std::chrono::milliseconds;

// What the queries saw: read once the worker's end was waited for, or
// through the events.
std::atomic<int> asked{0};
std::string lastAsked;
bool reply = false;

bool RecordingQuery(const std::string& folder) {
    lastAsked = folder;
    ++asked;
    return reply;
}

// A server that does not answer until the test lets it, so the worker can
// end and free what it holds; bounded, so a caller that waits for its
// worker fails the test instead of hanging it.
UniqueKernelHandle serverAnswers{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
UniqueKernelHandle silentQueryReturned{CreateEventA(nullptr, TRUE, FALSE, nullptr)};

bool SilentQuery(const std::string& folder) {
    WaitForSingleObject(serverAnswers.get(), 10000);
    lastAsked = folder;
    SetEvent(silentQueryReturned.get());
    return true;
}

TEST_F(NetworkFolderTest, OnlyFoldersOnTheNetworkGoThroughTheQuery) {
    struct Case {
        std::string folder;
        bool reply, asked;
        FolderAnswer answer;
    };
    std::vector<Case> cases = {
        {"\\\\server\\share\\Quilvane", true, true, FolderAnswer::Exists},
        {"\\\\server\\share\\Quilvane", false, true, FolderAnswer::Missing},
        {"\\\\server\\share", true, true, FolderAnswer::Exists},
        // Local folders are answered by the disk, whatever the query would say.
        {scratch_.Path(), false, false, FolderAnswer::Exists},
        {scratch_ / "missing", true, false, FolderAnswer::Missing},
        {"C:\\", false, false, FolderAnswer::Exists},
    };
    const std::string network = Environment("QWP_NETWORK_DRIVE");
    if (!network.empty()) cases.push_back({network + "\\Quilvane", true, true, FolderAnswer::Exists});
    for (const Case& c : cases) {
        asked = 0;
        lastAsked.clear();
        reply = c.reply;
        EXPECT_EQ(AskFolder(c.folder, {RecordingQuery, 10000}), c.answer) << c.folder;
        EXPECT_EQ(asked.load(), c.asked ? 1 : 0) << c.folder;
        EXPECT_EQ(lastAsked, c.asked ? c.folder : "") << c.folder;
    }
}

// The worker holds its own copy of the folder: the caller's text may change
// once the wait is over, and the worker still asks for the folder it was
// given.
TEST_F(NetworkFolderTest, ASilentServerIsGivenUpOnAfterTheTimeOut) {
    ASSERT_TRUE(serverAnswers && silentQueryReturned);
    const std::string dead = "\\\\dead\\share\\Quilvane";
    std::string folder = dead;
    const auto start = std::chrono::steady_clock::now();
    const FolderAnswer answer = AskFolder(folder, {SilentQuery, 300});
    const auto waited = std::chrono::steady_clock::now() - start;
    folder.assign(dead.size(), 'x');

    EXPECT_EQ(answer, FolderAnswer::NoAnswer);
    EXPECT_GE(waited, milliseconds(250)) << "given up on before its time-out";
    EXPECT_LT(waited, milliseconds(300 + 2000)) << "the caller waited for the silent worker";

    SetEvent(serverAnswers.get());
    ASSERT_EQ(WaitForSingleObject(silentQueryReturned.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(lastAsked, dead);
}

// The worker's own query answers as FolderExists does, without the
// process's current directory; on the network drive through the worker.
TEST_F(NetworkFolderTest, TheWorkersQueryAnswersAsFolderExists) {
    ASSERT_TRUE(CreateDirectoryA((scratch_ / "Sub").c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(scratch_ / "file.txt", "x"));
    std::vector<std::pair<std::string, bool>> cases = {
        {scratch_.Path(), true},         {scratch_ / "Sub", true},          {scratch_ / "sub\\", true},
        {"C:\\", true},                  {"C:", true},                      {scratch_ / "missing", false},
        {scratch_ / "file.txt", false},  {scratch_ / "Sub\\..\\Sub", false}, {scratch_ / "Sub\\.", false},
        {"Sub", false},                  {"", false},
    };
    const std::string network = Environment("QWP_NETWORK_DRIVE");
    const std::string onNetwork = network + "\\Quilvane test " + std::to_string(GetCurrentProcessId());
    if (!network.empty()) {
        ASSERT_TRUE(CreateDirectoryA(onNetwork.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        cases.push_back({onNetwork, true});
        cases.push_back({onNetwork + "\\missing", false});
    }
    for (const auto& [path, exists] : cases) {
        EXPECT_EQ(FolderAttributesSayFolder(path), exists) << path;
        if (!network.empty() && path.rfind(network, 0) == 0) {
            EXPECT_EQ(AskFolder(path), exists ? FolderAnswer::Exists : FolderAnswer::Missing) << path;
        }
    }
    if (!network.empty()) RemoveDirectoryA(onNetwork.c_str());
}

}  // namespace
}  // namespace qwp::test
