// The whole install run against real folders: copy order, logging, abort,
// and a reinstall over an earlier one.
#include "payload/InstallRun.h"
#include "tests/payload/EngineFixture.h"

#include <algorithm>

namespace qwp::test {
namespace {

TEST_F(EngineTest, AbortOnTheThirdSpellingFileStopsTheRun) {
    const std::string spelling = SharedDataFolder() + "Public\\Spellcheck\\";
    ASSERT_EQ(SHCreateDirectoryExA(nullptr, spelling.c_str(), nullptr), ERROR_SUCCESS);
    // A folder in the way: no file can be created under that name.
    const std::string blocked = spelling + "English (British).asc";
    ASSERT_TRUE(CreateDirectoryA(blocked.c_str(), nullptr));
    RemoveTree(SharedDataFolder() + "Hidden");
    user_.Queue(CopyAnswer::Abort);

    const InstallResult result = RunInstall(plan_, target_, user_);
    EXPECT_EQ(result, InstallResult::Aborted);
    EXPECT_EQ(user_.Questions().size(), 1u);
    EXPECT_TRUE(FileExists(dest_ / "qwp.exe"));
    EXPECT_TRUE(FileExists(dest_ / "License.txt"));
    EXPECT_TRUE(FileExists(spelling + "English (American).asc"));
    EXPECT_TRUE(FileExists(spelling + "English (American).cache"));
    EXPECT_FALSE(FileExists(spelling + "English (British).cache"));
    EXPECT_FALSE(FileExists(dest_ / "Hyphenation.dat"));
    EXPECT_FALSE(FileExists(SharedDataFolder() + "Public\\Basic.asn"));
    EXPECT_FALSE(FolderExists(SharedDataFolder() + "Public\\Templates\\"));
    EXPECT_EQ(user_.Progress().size(), 5u) << "two program files, then three spelling files were started";

    // The folder the plan made (the spelling folder was there already), then
    // the two logged copies; spelling files are never logged.
    EXPECT_EQ(*InstallLog, (std::vector<std::string>{
                               "Made Dir: " + SharedDataFolder() + "Hidden\\",
                               "File Copy: " + dest_.Path() + "qwp.exe",
                               "File Copy: " + dest_.Path() + "License.txt",
                           }));
}

TEST_F(EngineTest, FullRunWritesEveryFileAndReinstallAddsNoDuplicates) {
    ASSERT_EQ(RunInstall(plan_, target_, user_), InstallResult::Completed);
    ASSERT_FALSE(user_.Progress().empty());
    EXPECT_EQ(user_.Progress().back().bytesWritten, user_.Progress().back().bytesPlanned);
    EXPECT_TRUE(user_.Progress().back().currentDestination.empty());
    EXPECT_TRUE(user_.Questions().empty());
    for (const auto& group : plan_.Groups)
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

    ASSERT_EQ(RunInstall(plan_, target_, user_), InstallResult::Completed);
    EXPECT_EQ(*InstallLog, firstLog) << "the earlier log is loaded first and nothing is repeated";
}

}  // namespace
}  // namespace qwp::test

namespace qwp::test {
namespace {

// Cancel while copying: the front end's Stop ends the run after the file
// being written, and what was written stays.
TEST_F(EngineTest, StopFromTheFrontEndEndsTheRunBeforeTheNextCopy) {
    target_.SelectedComponents = 0x01;
    user_.onProgress = [](const InstallProgress& p) {
        return p.bytesWritten > 0 ? ProgressAnswer::Stop : ProgressAnswer::Continue;
    };
    EXPECT_EQ(RunInstall(plan_, target_, user_), InstallResult::Aborted);
    EXPECT_EQ(Entries(dest_.Path()), std::vector<std::string>{"qwp.exe"});
    EXPECT_EQ(user_.Progress().size(), 2u);
    EXPECT_TRUE(user_.Questions().empty());
}

TEST_F(EngineTest, RunOfTheProgramAloneWritesItsTwoFilesAndTheDataFolders) {
    target_.SelectedComponents = 0x01;
    ASSERT_EQ(RunInstall(plan_, target_, user_), InstallResult::Completed);
    EXPECT_EQ(Entries(dest_.Path()), (std::vector<std::string>{"License.txt", "qwp.exe"}));
    const std::string shared = SharedDataFolder();
    EXPECT_EQ(Entries(shared), (std::vector<std::string>{"Hidden", "Public"}));
    EXPECT_EQ(Entries(shared + "Public\\"), std::vector<std::string>{"Spellcheck"});
    EXPECT_EQ(Entries(shared + "Public\\Spellcheck\\"), std::vector<std::string>{});
    EXPECT_EQ(*InstallLog, (std::vector<std::string>{
                               "Made Dir: " + shared, "Made Dir: " + shared + "Public\\",
                               "Made Dir: " + shared + "Public\\Spellcheck\\", "Made Dir: " + shared + "Hidden\\",
                               "File Copy: " + dest_.Path() + "qwp.exe", "File Copy: " + dest_.Path() + "License.txt"}));
}

// A portable run keeps its log in memory only. Run again over itself, it
// writes nothing: the kept kinds stay even when the user changed them, and
// the files replaced by their time are unchanged.
TEST_F(EngineTest, PortableReinstallKeepsOrSkipsEveryFileAndWritesNoLogFile) {
    if (!UsePortableDestination()) GTEST_SKIP() << "the test environment set up no removable drive";
    ASSERT_EQ(RunInstall(plan_, target_, user_), InstallResult::Completed);
    EXPECT_EQ(InstallLogPath, "");
    const std::string programLine = "File Copy: " + portable_ + "qwp.exe";
    EXPECT_NE(std::find(InstallLog->begin(), InstallLog->end(), programLine), InstallLog->end());
    EXPECT_FALSE(SaveInstallLog());
    EXPECT_FALSE(FileExists(portable_ + "Install.log"));

    const std::string spelling = portable_ + "Spellcheck\\";
    const std::vector<std::string> edited = {portable_ + "Templates\\Faxes\\Fax 1.rtf",
                                             portable_ + "Clip Library\\Closings\\Sincerely.rtf",
                                             spelling + "English (American).asc", spelling + "English (British).cache"};
    for (const std::string& path : edited) ASSERT_TRUE(WriteWholeFile(path, "the user's own")) << path;
    ASSERT_EQ(RunInstall(plan_, target_, user_), InstallResult::Completed);
    for (int g = 0; g < kComponentCount; ++g) EXPECT_TRUE(plan_.Groups[g].empty()) << "group " << g;
    for (const std::string& path : edited) EXPECT_EQ(ReadWholeFile(path), "the user's own") << path;
    EXPECT_TRUE(InstallLog->empty());
    EXPECT_TRUE(plan_.SharedUpdateList.empty());
}

TEST_F(EngineTest, IgnoringEveryFailureRunsToTheEnd) {
    target_.SelectedComponents = 0x01;
    ASSERT_TRUE(CreateDirectoryA((dest_ / "qwp.exe").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((dest_ / "License.txt").c_str(), nullptr));
    user_.SetFallback(CopyAnswer::Ignore);
    EXPECT_EQ(RunInstall(plan_, target_, user_), InstallResult::Completed);
    EXPECT_EQ(user_.Questions().size(), 2u);
    for (const auto& line : *InstallLog) EXPECT_NE(line.rfind("File Copy: ", 0), 0u) << line;
}

}  // namespace
}  // namespace qwp::test
