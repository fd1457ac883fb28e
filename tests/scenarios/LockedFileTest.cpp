// A file the install run must write is held open, without sharing, by
// another program (here the test) when the user starts the installation:
// the setup reports it with Abort, Retry and Ignore. Abort ends the setup
// at once, keeping what was written before and the stored choices; Retry
// after the other program let go writes the file; Ignore leaves it as it
// was, unlogged, and the run goes on.
#include "tests/scenarios/WizardScenario.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <string>

namespace qwp::test::interactive {
namespace {

constexpr char kScenario[] = "abort-locked-file";
constexpr char kForeignContent[] = "held open by another program\r\n";

std::string CannotCreateMessage(const std::string& path) {
    return WithCrLf("Cannot create file \"" + path +
                    "\".\rAnother application might already be using this file.\r\r"
                    "Please make sure that the setup of Quilvane Word Processor is not blocked by your security "
                    "software (firewall/antivirus) in any way.\rYou might want to temporarily disable your security "
                    "software and try again.");
}

// A file made by another program and kept open by it with no sharing at
// all, until released.
class HeldFile {
public:
    explicit HeldFile(const std::string& path) {
        const std::string folder = path.substr(0, path.find_last_of('\\'));
        SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
        file_.reset(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        held_ = file_ && WriteFile(file_.get(), kForeignContent, sizeof kForeignContent - 1, &written, nullptr) &&
                written == sizeof kForeignContent - 1;
    }
    bool Held() const { return held_; }
    void Release() { file_.reset(); }

private:
    UniqueFile file_;
    bool held_ = false;
};

std::string PayloadBytes(const std::string& name) { return ReadWholeFile(SourceFile("sample/files/" + name)); }

class LockedFile : public NoInstallationTest {
protected:
    // The setup's error about the file, read and kept as a picture.
    MessageBoxSeen ExpectCannotCreate(SetupRun& run, const std::string& path, const std::string& shot) {
        const MessageBoxSeen error = run.WaitForMessage("Error", kInstallTimeout);
        if (!error.window) {
            ADD_FAILURE() << "no error about " << path << "; the wizard shows page " << run.Page();
            return error;
        }
        EXPECT_EQ(error.text, CannotCreateMessage(path));
        EXPECT_EQ(error.buttons, "&Abort|&Retry|&Ignore");
        run.Shoot(shot, error.window);
        return error;
    }

    // A run to page 4 with every page kept, then the file held and Next.
    void StartInstallWithHeldFile(const std::string& path) {
        run_ = std::make_unique<SetupRun>(ScreensFolder(kScenario));
        ASSERT_TRUE(run_->Started()) << "no wizard window";
        ASSERT_TRUE(run_->WalkTo(4));
        held_ = std::make_unique<HeldFile>(path);
        ASSERT_TRUE(held_->Held()) << "the test could not hold " << path;
        run_->Next();
    }

    // The file is let go and the setup ended before the installation is
    // taken away.
    void TearDown() override {
        held_.reset();
        run_.reset();
        NoInstallationTest::TearDown();
    }

    std::unique_ptr<SetupRun> run_;
    std::unique_ptr<HeldFile> held_;
};

// The third copy of the spellchecker group cannot be made: Abort ends the
// setup with no further question. Before it: the word processor and the
// first two spelling files; after it: nothing.
TEST_F(LockedFile, AbortEndsTheSetupKeepingWhatWasWritten) {
    const std::string mainDir = DefaultDestination();
    const std::string british = SpellingFolder() + "English (British).asc";
    StartInstallWithHeldFile(british);
    if (HasFatalFailure()) return;
    SetupRun& run = *run_;

    const MessageBoxSeen error = ExpectCannotCreate(run, british, "error-cannot-create");
    ASSERT_NE(error.window, nullptr);
    EXPECT_TRUE(run.OnPage(5)) << "the error is not shown on the installing page";
    run.ShootPage(5, "-with-error");
    EXPECT_EQ(FilesBelow(SpellingFolder()), "English (American).asc|English (American).cache|English (British).asc")
        << "while the error is shown";

    ASSERT_TRUE(SetupRun::Answer(error, "&Abort"));
    // The setup ends by itself: a close question here would be a fault.
    HWND confirm = nullptr;
    WaitUntil([&] { return !run.Running() || (confirm = TopWindowOf(run.Process().Id(), "Confirm")) != nullptr; },
              kStartTimeout);
    if (confirm) {
        run.Shoot("unexpected-close-question", confirm);
        ADD_FAILURE() << "Abort on the error asked the close question";
        PressButton(confirm, "&Abort");
    }
    EXPECT_EQ(run.WaitForExit(), 0u);
    held_->Release();

    // Group 0 and the first two spelling files, the held file as its owner
    // left it, nothing of the later copies and groups.
    EXPECT_EQ(FilesBelow(mainDir), "Install.log|License.txt|qwp.exe");
    EXPECT_EQ(ReadWholeFile(JoinPath(mainDir, "qwp.exe")), ReadWholeFile(BuildFile("qwp.exe")));
    EXPECT_EQ(ReadWholeFile(JoinPath(mainDir, "License.txt")), PayloadBytes("License.txt"));
    EXPECT_EQ(ReadWholeFile(SpellingFolder() + "English (American).asc"), PayloadBytes("English (American).asc"));
    EXPECT_EQ(ReadWholeFile(SpellingFolder() + "English (American).cache"), PayloadBytes("English (American).cache"));
    EXPECT_EQ(ReadWholeFile(british), kForeignContent);
    // No Update.log and no qwp_common.dat: the later pages never came.
    EXPECT_EQ(FilesBelow(CommonDataFolder()),
              "Hidden\\install_stamp|Public\\Spellcheck\\English (American).asc|"
              "Public\\Spellcheck\\English (American).cache|Public\\Spellcheck\\English (British).asc");
    EXPECT_EQ(FilesBelow(UserDataFolder()), "(no folder)");

    // The spelling folders were there before the run (the held file's), so
    // only the hidden folder and the destination were made.
    EXPECT_EQ(Lower(ReadWholeFile(JoinPath(mainDir, "Install.log"))),
              Lower(MadeDirLine(HiddenFolder()) + MadeDirLine(JoinPath(mainDir, "")) + WordProcessorCopiesLog(mainDir)));

    // The choices of the run, stored because the run had started.
    ExpectDefaultChoicesStored(mainDir);
    // The driver stores the uninstall entry with the choices whenever the
    // run has started, aborted or not.
    EXPECT_EQ(UninstallEntryValue("UninstallString"), "REG_SZ:\"" + JoinPath(mainDir, "qwp.exe") + "\" -ui");
    for (const std::string& place : ShortcutPlaces()) EXPECT_FALSE(PathPresent(place)) << place;
}

// Retry while the file is still held asks again; Retry after the other
// program let go writes the payload's file and the run goes on to the
// associations page with every spelling file in place.
TEST_F(LockedFile, RetryAfterTheOtherProgramLetGoWritesTheFile) {
    const std::string british = SpellingFolder() + "English (British).asc";
    StartInstallWithHeldFile(british);
    if (HasFatalFailure()) return;
    SetupRun& run = *run_;

    const MessageBoxSeen first = ExpectCannotCreate(run, british, "error-before-retry");
    ASSERT_TRUE(SetupRun::Answer(first, "&Retry"));
    const MessageBoxSeen second = ExpectCannotCreate(run, british, "error-after-retry-while-held");
    ASSERT_NE(second.window, nullptr) << "Retry while the file is held did not ask again";
    held_->Release();
    ASSERT_TRUE(SetupRun::Answer(second, "&Retry"));

    ASSERT_TRUE(run.WaitForPage(6, kInstallTimeout)) << "the run did not go on after Retry; page " << run.Page();
    run.ShootPage(6, "-after-retry");
    EXPECT_EQ(ReadWholeFile(british), PayloadBytes("English (British).asc"));
    EXPECT_EQ(FilesBelow(SpellingFolder()),
              "English (American).asc|English (American).cache|English (British).asc|English (British).cache|"
              "english.zlx|uk.zlx|us.zlx|userdicen.tlx");
    EXPECT_TRUE(FileExists(PublicFolder() + "Basic.asn")) << "the last group was not written";
    EXPECT_TRUE(run.AbortThroughCloseQuestion());
}

// Ignore on a logged file (the hyphenation module in the destination):
// the file stays as its owner made it, it gets no log line, and every later
// copy is made.
TEST_F(LockedFile, IgnoreLeavesTheFileUnloggedAndGoesOn) {
    const std::string mainDir = DefaultDestination();
    const std::string hyphenation = JoinPath(mainDir, "Hyphenation.dat");
    StartInstallWithHeldFile(hyphenation);
    if (HasFatalFailure()) return;
    SetupRun& run = *run_;

    const MessageBoxSeen error = ExpectCannotCreate(run, hyphenation, "error-before-ignore");
    ASSERT_TRUE(SetupRun::Answer(error, "&Ignore"));
    ASSERT_TRUE(run.WaitForPage(6, kInstallTimeout)) << "the run did not go on after Ignore; page " << run.Page();
    run.ShootPage(6, "-after-ignore");
    EXPECT_TRUE(FileExists(PublicFolder() + "Basic.asn")) << "the copies after the ignored one were not made";
    ASSERT_TRUE(run.AbortThroughCloseQuestion());
    held_->Release();

    EXPECT_EQ(ReadWholeFile(hyphenation), kForeignContent);
    const std::string log = Lower(ReadWholeFile(JoinPath(mainDir, "Install.log")));
    EXPECT_EQ(log.find(Lower("File Copy: " + hyphenation)), std::string::npos) << "the ignored file was logged";
    EXPECT_NE(log.find(Lower(FileCopyLine(PublicFolder() + "Basic.asn"))), std::string::npos)
        << "the copies after the ignored one were not logged:\n"
        << log;
    std::vector<std::string> shared;
    ListFilesBelow(PublicFolder(), shared);
    EXPECT_EQ(shared.size(), 8u + 19u + 242u + 1u) << "spelling files, templates, clip library, sound scheme";
}

}  // namespace
}  // namespace qwp::test::interactive
