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

TEST_F(EngineTest, RunOfTheProgramAloneWritesItsTwoFilesAndTheDataFolders) {
    target_.SelectedComponents = 0x01;
    ASSERT_EQ(RunInstall(catalogue(), target_), InstallResult::Completed);
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
    ASSERT_EQ(RunInstall(catalogue(), target_), InstallResult::Completed);
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
    ASSERT_EQ(RunInstall(catalogue(), target_), InstallResult::Completed);
    for (int g = 0; g < kComponentCount; ++g) EXPECT_TRUE(catalogue().Groups[g].empty()) << "group " << g;
    for (const std::string& path : edited) EXPECT_EQ(ReadWholeFile(path), "the user's own") << path;
    EXPECT_TRUE(InstallLog->empty());
    EXPECT_TRUE(catalogue().SharedUpdateList.empty());
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
