// The whole install run against real folders: copy order, logging, abort,
// and a reinstall over an earlier one.
#include "payload/InstallRun.h"
#include "tests/payload/EngineFixture.h"

namespace qwp::test {
namespace {

TEST_F(EngineTest, AbortOnTheThirdSpellingFileStopsTheRun) {
    const std::string spelling = SharedDataFolder() + "Public\\Spellcheck\\";
    ASSERT_EQ(SHCreateDirectoryExA(nullptr, spelling.c_str(), nullptr), ERROR_SUCCESS);
    // A folder in the way: no file can be created under that name.
    const std::string blocked = spelling + "English (British).asc";
    ASSERT_TRUE(CreateDirectoryA(blocked.c_str(), nullptr));
    RemoveTree(SharedDataFolder() + "Hidden");
    user_.Queue(MsgResult::Abort);

    std::vector<std::string> progress;
    const InstallResult result = RunInstall(catalogue(), target_, [&progress](const InstallProgress& p) {
        progress.push_back(p.currentDestination);
    });
    EXPECT_EQ(result, InstallResult::Aborted);
    EXPECT_TRUE(InstallStarted);
    EXPECT_EQ(user_.Requests().size(), 1u);
    EXPECT_TRUE(FileExists(dest_ / "qwp.exe"));
    EXPECT_TRUE(FileExists(dest_ / "License.txt"));
    EXPECT_TRUE(FileExists(spelling + "English (American).asc"));
    EXPECT_TRUE(FileExists(spelling + "English (American).cache"));
    EXPECT_FALSE(FileExists(spelling + "English (British).cache"));
    EXPECT_FALSE(FileExists(dest_ / "Hyphenation.dat"));
    EXPECT_FALSE(FileExists(SharedDataFolder() + "Public\\Basic.asn"));
    EXPECT_FALSE(FolderExists(SharedDataFolder() + "Public\\Templates\\"));
    EXPECT_EQ(progress.size(), 5u) << "two program files, then three spelling files were started";

    // The folder the plan made (the spelling folder was there already), then
    // the two logged copies; spelling files are never logged.
    EXPECT_EQ(*InstallLog, (std::vector<std::string>{
                               "Made Dir: " + SharedDataFolder() + "Hidden\\",
                               "File Copy: " + dest_.Path() + "qwp.exe",
                               "File Copy: " + dest_.Path() + "License.txt",
                           }));
}

TEST_F(EngineTest, FullRunWritesEveryFileAndReinstallAddsNoDuplicates) {
    std::int64_t lastWritten = -1, planned = 0;
    ASSERT_EQ(RunInstall(catalogue(), target_,
                         [&](const InstallProgress& p) {
                             lastWritten = p.bytesWritten;
                             planned = p.bytesPlanned;
                         }),
              InstallResult::Completed);
    EXPECT_EQ(lastWritten, planned);
    EXPECT_TRUE(user_.Requests().empty());
    for (const auto& group : catalogue().Groups)
        for (const auto& copy : group) {
            ASSERT_TRUE(FileExists(copy->Destination)) << copy->Destination;
            EXPECT_EQ(FileTimeOf(copy->Destination), copy->Entry->Date) << copy->Destination;
        }
    const std::vector<std::string> firstLog = *InstallLog;
    // Logged: three program files and the sound scheme, plus the folders made.
    std::size_t copies = 0;
    for (const auto& line : firstLog) copies += line.rfind("File Copy: ", 0) == 0;
    EXPECT_EQ(copies, 4u);
    ASSERT_TRUE(SaveInstallLog());

    ASSERT_EQ(RunInstall(catalogue(), target_), InstallResult::Completed);
    EXPECT_EQ(*InstallLog, firstLog) << "the earlier log is loaded first and nothing is repeated";
}

}  // namespace
}  // namespace qwp::test

namespace qwp::test {
namespace {

TEST(InstallSelection, RowsReadLastToFirstKeepNumbersUpToSeven) {
    EXPECT_EQ(SelectionFromRows({0, 1, 2, 3, 4, 5}, {true, false, true, false, false, true}), 0x25);
    EXPECT_EQ(SelectionFromRows({5, 3, 8, 7}, {true, true, true, true}), 0x28 | 0x80) << "8 does not fit a byte";
    EXPECT_EQ(SelectionFromRows({0, 1}, {true}), 0x01) << "rows without a state count as unchecked";
}

TEST_F(EngineTest, IgnoringEveryFailureRunsToTheEnd) {
    target_.SelectedComponents = 0x01;
    ASSERT_TRUE(CreateDirectoryA((dest_ / "qwp.exe").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((dest_ / "License.txt").c_str(), nullptr));
    user_.SetFallback(MsgResult::Ignore);
    EXPECT_EQ(RunInstall(catalogue(), target_), InstallResult::Completed);
    EXPECT_EQ(user_.Requests().size(), 2u);
    for (const auto& line : *InstallLog) EXPECT_NE(line.rfind("File Copy: ", 0), 0u) << line;
}

}  // namespace
}  // namespace qwp::test
