// Pages 7 and 8 in the wizard: the post-install actions when the completion
// page is entered (common data file, association command, shortcuts), and
// Finish (Update.log, the launch, the close); an Update.log that cannot be
// written; a portable run; the uninstall entry written with the choices.
#include "instutils/DateTime.h"
#include "instutils/InstallLog.h"
#include "instutils/RunLog.h"
#include "registration/UninstallEntry.h"
#include "registration/UpdateLogMerge.h"
#include "tests/registration/MachineRegistryRedirect.h"
#include "tests/registration/PostInstallTraces.h"
#include "tests/support/ProcessParents.h"
#include "tests/support/Text.h"
#include "tests/wizard/WizardFixture.h"

#include <cstring>

namespace qwp::test {
namespace {

const char kInstallKeyPath[] = "Software\\Quilvane Word Processor\\Install";

const char kByShell[] = " (started by the desktop's shell)";
const char kStandInClass[] = "QuilvaneWordProcessor";

class PostInstallTest : public InstallingWizardTest {
protected:
    void SetUp() override {
        InstallingWizardTest::SetUp();
        CloseStandInWindows();
        RemoveShortcuts();
        places_ = ShortcutPlaces();
        ASSERT_TRUE(StartRunLog(runLog_ / "run.log"));
    }
    void TearDown() override {
        FinishRunLog();
        CloseStandInWindows();
        RemoveShortcuts();
        InstallingWizardTest::TearDown();
    }

    // The command lines the setup has started so far, from its run log,
    // which names each start as it is made.
    std::vector<std::string> Started() const {
        std::vector<std::string> started;
        for (const std::string& line : LinesOf(ReadWholeFile(runLog_ / "run.log")))
            if (StartsWith(line, "Started: ")) started.push_back(line.substr(9));
        return started;
    }

    // The stand-in word processor's start log: one line per start.
    std::vector<std::string> Starts(const std::string& mainDir) const {
        return LinesOf(ReadWholeFile(JoinPath(mainDir, "qwp-starts.log")));
    }
    // Waits for the start log to hold that many lines.
    std::vector<std::string> WaitForStarts(const std::string& mainDir, std::size_t count) const {
        for (int i = 0; i < 200 && Starts(mainDir).size() < count; ++i) Sleep(50);
        return Starts(mainDir);
    }
    void ExpectCommonData(const std::string& path, double before, double after) {
        const std::string bytes = ReadWholeFile(path);
        ASSERT_EQ(bytes.size(), 16u) << path;
        std::uint32_t one = 0, eight = 0;
        double time = 0.0;
        std::memcpy(&one, bytes.data(), 4);
        std::memcpy(&eight, bytes.data() + 4, 4);
        std::memcpy(&time, bytes.data() + 8, 8);
        EXPECT_EQ(one, 1u);
        EXPECT_EQ(eight, 8u);
        EXPECT_GE(time, before);
        EXPECT_LE(time, after);
    }
    void PlantEverywhere() {
        for (const std::string& place : places_) {
            CreateDirectoryA(FolderPart(place).c_str(), nullptr);
            ASSERT_TRUE(WriteWholeFile(place, "old")) << place;
        }
    }

    UserDesktopRedirect desktop_;
    TempFolder runLog_;
    std::vector<std::string> places_;  // all-users and user Programs, all-users and user Desktop
};

TEST_F(PostInstallTest, CompletionPageRecordsAssociatesAndPlacesShortcutsFinishLogsAndLaunches) {
    // A destination with blanks, as the command lines must quote it.
    const std::string mainDir = dest_ / "Word Processor";
    const std::string program = mainDir + "\\qwp.exe";
    MakeForm({"-d" + mainDir});
    WalkTo(6);
    // From the stored "B" to RTF and DOCX.
    Click(IDC_AssocChkBx1);
    Click(IDC_AssocChkBx2);
    Click(IDC_AssocChkBx4);
    const double before = LocalNowForTest();
    Next();
    const double after = LocalNowForTest();
    ASSERT_EQ(form().CurrentPage(), 7);
    EXPECT_EQ(session().Options().AssociationLetters, "AD");

    ExpectCommonData(shared_ + "qwp_common.dat", before, after);
    const std::vector<std::string> assoc{"\"" + program + "\" -assoc qdpr_rtf_docx"};
    EXPECT_EQ(Started(), assoc) << "nothing but the association command before Finish";
    EXPECT_EQ(WaitForStarts(mainDir, 1), assoc);

    // All users and a desktop shortcut, as stored by default.
    EXPECT_TRUE(PathPresent(places_[0]));
    EXPECT_FALSE(PathPresent(places_[1]));
    EXPECT_TRUE(PathPresent(places_[2]));
    EXPECT_FALSE(PathPresent(places_[3]));
    for (int i : {0, 2}) {
        const LinkFields link = ReadLink(places_[i]);
        EXPECT_TRUE(link.loaded) << places_[i];
        EXPECT_EQ(link.path, program);
        EXPECT_EQ(link.workingFolder, mainDir);
        EXPECT_EQ(link.description, "Compact, fast-loading, but still powerful and efficient word processor.");
        ASSERT_TRUE(InstallLog);
        EXPECT_NE(std::find(InstallLog->begin(), InstallLog->end(), "File Copy: " + places_[i]), InstallLog->end())
            << "the shortcut is in the install log";
    }

    PostMessageA(Ctl(IDC_NextBtn), BM_CLICK, 0, 0);
    EXPECT_EQ(ShowModalWithin(), kModalOK);
    EXPECT_TRUE(Requests().empty()) << Requests().front().text;

    // Update.log: one block stamped with the plan's install_stamp, then
    // every shared file of the run.
    const std::string stampBytes = ReadWholeFile(shared_ + "Hidden\\install_stamp");
    ASSERT_EQ(stampBytes.size(), 8u);
    double stamp = 0.0;
    std::memcpy(&stamp, stampBytes.data(), 8);
    const std::vector<std::string> log = LinesOf(ReadWholeFile(shared_ + "Update.log"));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0], UpdateLogStampLine(stamp));
    EXPECT_EQ(std::count_if(log.begin(), log.end(), IsStampLine), 1);
    EXPECT_EQ(log.size(), session().Plan().SharedUpdateList.size() + 1);
    EXPECT_NE(std::find(log.begin(), log.end(), shared_ + "Public\\Basic.asn"), log.end());

    // The launch: the quoted program without arguments, started by the
    // desktop's shell as this process has administrator rights (every
    // process has under Wine).
    EXPECT_EQ(Started(), std::vector<std::string>({assoc[0], "\"" + program + "\"" + kByShell}));
    EXPECT_TRUE(StandInWindowAppears(10000));
    EXPECT_EQ(ParentOf(ProcessOfWindowClass(kStandInClass)).program, "explorer.exe");
    const std::vector<std::string> starts = WaitForStarts(mainDir, 2);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1], "\"" + program + "\"");

    // After the wizard: the choices and the uninstall entry.
    MachineRegistryRedirect machine;
    ASSERT_TRUE(machine.Active());
    form().GatherChoices();
    EndSession();
    const std::string key = machine.Below(kUninstallKey);
    EXPECT_EQ(ReadSzValue(kInstallKeyPath, "EXTENSIONS"), std::optional<std::string>("AD"));
    EXPECT_EQ(ReadSzValue(key, "DisplayIcon"), std::optional<std::string>(program));
    EXPECT_EQ(ReadSzValue(key, "UninstallString"), std::optional<std::string>("\"" + program + "\" -ui"));
    const std::optional<DWORD> size = ReadDwordValue(key, "EstimatedSize");
    ASSERT_TRUE(size);
    EXPECT_GE(*size, ReadWholeFile(program).size() / 1024) << "the program alone takes this much";
}

TEST_F(PostInstallTest, NoAssociationAndCurrentUserWithoutDesktopShortcut) {
    PlantEverywhere();
    const std::string mainDir = dest_ / "Q";
    MakeForm({"-d" + mainDir});
    WalkTo(4);
    Click(IDC_InstallToAllChkBx);
    Click(IDC_DesktopChkBx);
    WalkTo(6);
    Click(IDC_AssocChkBx2);
    Next();
    ASSERT_EQ(form().CurrentPage(), 7);
    EXPECT_EQ(session().Options().AssociationLetters, "");
    const std::vector<std::string> assoc{"\"" + mainDir + "\\qwp.exe\" -assoc qdpr"};
    EXPECT_EQ(WaitForStarts(mainDir, 1), assoc);
    // The user's Programs shortcut made, the all-users copies deleted, the
    // user's own desktop shortcut left as it was.
    EXPECT_FALSE(PathPresent(places_[0]));
    EXPECT_EQ(ReadLink(places_[1]).path, mainDir + "\\qwp.exe");
    EXPECT_FALSE(PathPresent(places_[2]));
    EXPECT_EQ(ReadWholeFile(places_[3]), "old");

    // Launch cleared: Finish closes without starting anything.
    Click(IDC_FinishChkBx);
    Next();
    EXPECT_EQ(form().ModalResult(), kModalOK);
    EXPECT_EQ(Started(), assoc);

    MachineRegistryRedirect machine;
    form().GatherChoices();
    EndSession();
    const std::optional<RawValue> extensions = ReadRawValue(kInstallKeyPath, "EXTENSIONS");
    ASSERT_TRUE(extensions);
    EXPECT_EQ(extensions->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(extensions->data, std::string(1, '\0')) << "the empty text";
}

TEST_F(PostInstallTest, UpdateLogThatCannotBeWrittenKeepsPage7AndLaunchesNothing) {
    const std::string before = "*0000000000000000\r\nC:\\Elsewhere\\kept.txt\r\n";
    ASSERT_TRUE(CreateDirectoryA(shared_.c_str(), nullptr));
    const std::string updateLog = shared_ + "Update.log";
    ASSERT_TRUE(WriteWholeFile(updateLog, before));
    ASSERT_TRUE(SetFileAttributesA(updateLog.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string mainDir = dest_ / "Q";
    MakeForm({"-d" + mainDir});
    WalkTo(7);
    const std::vector<std::string> assoc{"\"" + mainDir + "\\qwp.exe\" -assoc qdpr_cod"};
    EXPECT_EQ(WaitForStarts(mainDir, 1), assoc);

    answerer_.SetFallback(MsgResult::OK);
    Next();
    ASSERT_EQ(Requests().size(), 1u);
    EXPECT_EQ(Requests()[0].kind, MsgKind::Error);
    EXPECT_EQ(CaptionOf(Requests()[0].kind), std::string("Error"));
    EXPECT_EQ(Requests()[0].buttons, static_cast<MsgButtons>(mbOK));
    EXPECT_NE(Requests()[0].text.find(updateLog), std::string::npos) << Requests()[0].text;
    EXPECT_EQ(form().CurrentPage(), 7);
    EXPECT_EQ(form().ModalResult(), 0);
    EXPECT_FALSE(form().ClosedByProgram);
    EXPECT_EQ(TextOf(IDC_NextBtn), "&Finish");
    EXPECT_TRUE(IsWindowEnabled(Ctl(IDC_NextBtn)));
    EXPECT_EQ(ReadWholeFile(updateLog), before);
    EXPECT_EQ(Started(), assoc) << "launched after a failed Update.log";

    // Once the file can be written, Finish goes through.
    ASSERT_TRUE(SetFileAttributesA(updateLog.c_str(), FILE_ATTRIBUTE_NORMAL));
    Next();
    EXPECT_EQ(Requests().size(), 1u);
    EXPECT_EQ(form().ModalResult(), kModalOK);
    EXPECT_EQ(ReadWholeFile(updateLog).compare(0, before.size(), before), 0) << "the earlier block stays first";
    EXPECT_EQ(Started(), std::vector<std::string>({assoc[0], "\"" + mainDir + "\\qwp.exe\"" + kByShell}));
    EXPECT_TRUE(StandInWindowAppears(10000));
}

// What could not be written besides the copies is named in the ending's
// one message; an association command that could not be started is only
// logged, its result being on the screen for the user to see.
TEST_F(PostInstallTest, UnwrittenFilesAreNamedAtTheEndingAFailedStartIsOnlyLogged) {
    const std::string mainDir = dest_ / "Q";
    const std::vector<std::string> blocked{shared_ + "qwp_common.dat", shared_ + "Hidden\\install_stamp", places_[2]};
    for (const std::string& path : blocked)
        ASSERT_EQ(SHCreateDirectoryExA(nullptr, path.c_str(), nullptr), ERROR_SUCCESS) << path;
    MakeForm({"-d" + mainDir});
    WalkTo(6);
    ASSERT_TRUE(DeleteFileA((mainDir + "\\qwp.exe").c_str()));  // before the associations are handed over
    Next();
    Click(IDC_FinishChkBx);
    Next();
    EXPECT_EQ(form().ModalResult(), kModalOK);
    const std::string assoc = "\"" + mainDir + "\\qwp.exe\" -assoc qdpr_cod";
    EXPECT_EQ(Started(), std::vector<std::string>{
                             assoc + " (could not be started: qwp.exe could not be opened to check its content)"});
    EXPECT_TRUE(Requests().empty()) << Requests().front().text;
    MachineRegistryRedirect machine;
    EndSession();
    ASSERT_EQ(Requests().size(), 1u) << "one message at the ending";
    for (const std::string& path : blocked)
        EXPECT_NE(Requests()[0].text.find(path), std::string::npos) << path << " in " << Requests()[0].text;
    EXPECT_EQ(Requests()[0].text.find(assoc), std::string::npos) << Requests()[0].text;
}

// A program file swapped between the copy and the starts (any process may
// write a folder of the user's own) is started neither for the associations
// nor at Finish, and the user is told where the word processor is.
TEST_F(PostInstallTest, AProgramFileThatIsNotTheOneInstalledIsNeverStarted) {
    const std::string mainDir = dest_ / "Q";
    const std::string program = mainDir + "\\qwp.exe";
    MakeForm({"-d" + mainDir});
    WalkTo(6);
    std::string swapped = ReadWholeFile(program);
    ASSERT_FALSE(swapped.empty());
    swapped.back() ^= 0x5A;
    ASSERT_TRUE(WriteWholeFile(program, swapped));
    Next();
    const std::string reason = " (could not be started: qwp.exe is not the file setup installed)";
    const std::string assoc = "\"" + program + "\" -assoc qdpr_cod";
    EXPECT_EQ(Started(), std::vector<std::string>{assoc + reason});
    answerer_.SetFallback(MsgResult::OK);
    Next();
    EXPECT_EQ(form().ModalResult(), kModalOK);
    EXPECT_EQ(Started(), std::vector<std::string>({assoc + reason, "\"" + program + "\"" + reason}));
    ASSERT_EQ(Requests().size(), 1u);
    EXPECT_EQ(Requests()[0].kind, MsgKind::Information);
    EXPECT_NE(Requests()[0].text.find("\r" + mainDir + "\r"), std::string::npos) << Requests()[0].text;
    EXPECT_TRUE(Starts(mainDir).empty()) << "the swapped file ran";
}

// The route the wizard takes for a process without administrator rights:
// the word processor is this process's child, never the shell's. The file
// is held from the completion page until that start: nobody can replace or
// rename it meanwhile.
TEST_F(PostInstallTest, WithoutAdministratorRightsTheWordProcessorIsStartedDirectly) {
    const std::string mainDir = dest_ / "Q";
    const std::string program = mainDir + "\\qwp.exe";
    MakeForm({"-d" + mainDir});
    WalkTo(7);
    EXPECT_FALSE(WriteWholeFile(program, "replaced")) << "the program file is held";
    EXPECT_FALSE(MoveFileA(program.c_str(), (mainDir + "\\moved.exe").c_str())) << "the program file is held";
    ASSERT_TRUE(session().LaunchWordProcessor(LaunchRoute::Direct));
    EXPECT_EQ(Started().back(), "\"" + program + "\"");
    ASSERT_TRUE(StandInWindowAppears(10000));
    EXPECT_EQ(ParentOf(ProcessOfWindowClass(kStandInClass)).id, GetCurrentProcessId());
}

TEST_F(PostInstallTest, PortableRunWritesOnlyTheCommonDataFileAndStillLaunches) {
    const std::string removable = Environment("QWP_REMOVABLE_DRIVE");
    if (removable.empty()) GTEST_SKIP() << "no removable drive in this environment";
    const std::string folder = removable + "\\QuilvanePostInstall";
    RemoveTree(folder + "\\");
    PlantEverywhere();
    MakeForm({"-d" + folder});
    ASSERT_TRUE(form().IsPortableInstall());
    WalkTo(4);
    const double before = LocalNowForTest();
    Next();
    const double after = LocalNowForTest();
    ASSERT_EQ(form().CurrentPage(), 7);

    ExpectCommonData(folder + "\\qwp_common.dat", before, after);
    EXPECT_EQ(GetFileAttributesA((shared_ + "qwp_common.dat").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(session().Options().AssociationLetters, "B") << "the stored letters are kept";
    for (const std::string& place : places_) EXPECT_EQ(ReadWholeFile(place), "old") << place;
    EXPECT_EQ(Started(), std::vector<std::string>()) << "no association command in a portable run";

    Next();
    EXPECT_EQ(form().ModalResult(), kModalOK);
    EXPECT_TRUE(Requests().empty()) << Requests().front().text;
    EXPECT_EQ(GetFileAttributesA((shared_ + "Update.log").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((folder + "\\Update.log").c_str()), INVALID_FILE_ATTRIBUTES);
    const std::vector<std::string> launch{"\"" + folder + "\\qwp.exe\""};
    EXPECT_EQ(Started(), std::vector<std::string>{launch[0] + kByShell});
    EXPECT_EQ(WaitForStarts(folder, 1), launch);

    {
        MachineRegistryRedirect machine;
        ASSERT_TRUE(machine.Active());
        form().GatherChoices();
        EndSession();
        EXPECT_FALSE(KeyExists(machine.Below("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall")))
            << "no uninstall entry in a portable run";
        EXPECT_EQ(ReadSzValue(kInstallKeyPath, "MAINDIR"), std::optional<std::string>(folder));
    }
    CloseStandInWindows();
    form_.reset();
    RemoveTree(folder + "\\");
}

}  // namespace
}  // namespace qwp::test
