// The real setup program, started as a user starts it.
#include "payload/AttachFiles.h"
#include "setup/RunSetup.h"
#include "instutils/Files.h"
#include "instutils/TempFiles.h"
#include "tests/registration/PostInstallTraces.h"
#include "tests/support/Installation.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/ProgramCopies.h"
#include "tests/support/Screens.h"
#include "tests/support/SetupRun.h"
#include "tests/support/SetupWalk.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Text.h"
#include "wizard/ControlIds.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace qwp::test {
namespace {

// Leaves the wizard as a user does before installing anything: Cancel, then
// Abort in the close question. Gives the exit code, or STILL_ACTIVE.
DWORD CancelWizardAndWait(ChildProcess& setup) {
    HWND wizard = WaitForWindow(setup.Id(), kSetupTitle, kStartTimeout);
    if (!wizard) return setup.WaitForExit(0);
    ClickControl(wizard, IDC_CancelBtn);
    if (HWND question = WaitForWindow(setup.Id(), "Confirm", kStartTimeout)) PressButton(question, "&Abort");
    return setup.WaitForExit(kStartTimeout);
}

TEST(SetupRun, ExitsZeroAndRemovesItsTemporaryFiles) {
    TempFolder temp;
    // Left behind by an earlier run that died: a file and a folder with the
    // setup's prefix go, everything else stays.
    ASSERT_TRUE(WriteWholeFile(temp / "~QuilvaneWordProcessorSetup3.tmp", "stale"));
    ASSERT_TRUE(CreateDirectoryA((temp / "~QuilvaneWordProcessorSetupDir").c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(temp / "~QuilvaneWordProcessorSetupDir\\inner.txt", "stale"));
    ASSERT_TRUE(WriteWholeFile(temp / "~quilvanewordprocessorsetup4.tmp", "other letter case"));
    ASSERT_TRUE(WriteWholeFile(temp / "keep.txt", "mine"));

    TempRedirect scope(temp.Path());
    ChildProcess setup(Quoted(BuildFile("setup.exe")));
    ASSERT_TRUE(setup.Started()) << "GetLastError " << GetLastError();
    EXPECT_EQ(CancelWizardAndWait(setup), static_cast<DWORD>(kExitSuccess));
    EXPECT_EQ(Entries(temp.Path()), (std::vector<std::string>{"keep.txt", "~quilvanewordprocessorsetup4.tmp"}));
}

// What the user sees of the damaged-payload error: its text, and what
// carries the taskbar button while it is up.
struct DamageErrorSeen {
    std::string message;
    std::string buttonCarrier;  // the text of the window with the taskbar button
    int buttons = 0;            // windows of the setup with a taskbar button
};

// Windows gives a taskbar button to a visible top-level window that is
// either unowned and no tool window, or marked as an application window.
bool HasTaskbarButton(HWND window) {
    const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
    if (!IsWindowVisible(window) || (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD)) return false;
    if (exStyle & WS_EX_APPWINDOW) return true;
    return !GetWindow(window, GW_OWNER) && !(exStyle & WS_EX_TOOLWINDOW);
}

// Runs a program that must show the damaged-payload error, answers it, and
// returns the exit code.
DWORD RunExpectingDamageError(const std::string& program, DamageErrorSeen& seen) {
    ChildProcess setup(Quoted(program));
    if (!setup.Started()) return STILL_ACTIVE;
    HWND dialog = WaitForWindow(setup.Id(), "Error", kStartTimeout);
    if (!dialog) {
        seen.message = "no error dialog appeared";
        return setup.WaitForExit(0);
    }
    seen.message = ChildTextOfClass(dialog, "Static");
    KeepWindowPicture(dialog, ScreensFolder("damaged") + "error.png");
    for (HWND window : {dialog, GetWindow(dialog, GW_OWNER)}) {
        if (!window || !HasTaskbarButton(window)) continue;
        ++seen.buttons;
        seen.buttonCarrier = WindowText(window);
    }
    PressButton(dialog, "OK");
    return setup.WaitForExit(kStartTimeout);
}

TEST(SetupRun, DamagedPayloadShowsOneErrorExitsTwoAndWritesNothing) {
    TempFolder folder, temp;
    const std::string program = folder / "setup.exe";
    ASSERT_TRUE(MakeDamagedSetup(program));
    ASSERT_TRUE(WriteWholeFile(temp / "~QuilvaneWordProcessorSetup0.tmp", "an earlier run's"));

    TempRedirect scope(temp.Path());
    DamageErrorSeen seen;
    EXPECT_EQ(RunExpectingDamageError(program, seen), static_cast<DWORD>(kExitPayloadDamaged));
    std::string expected = kPayloadDamagedMessage;
    std::replace(expected.begin(), expected.end(), '\r', '\n');
    seen.message.erase(std::remove(seen.message.begin(), seen.message.end(), '\r'), seen.message.end());
    EXPECT_EQ(seen.message, expected);
    // No wizard exists yet: the application's owner window, which carries
    // the title and icon 1, has the one taskbar button, not a button named
    // "Error". (Under Wine a WM_GETICON sent from here gets no answer, so
    // the owner's icon is checked in-process by the Application test.)
    EXPECT_EQ(seen.buttons, 1);
    EXPECT_EQ(seen.buttonCarrier, "Quilvane Word Processor - Setup");
    EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"setup.exe"});
    EXPECT_EQ(Entries(temp.Path()), std::vector<std::string>{"~QuilvaneWordProcessorSetup0.tmp"}) << "a damaged setup touches nothing";
}

TEST(SetupRun, MissingPayloadResourceIsReportedAsDamage) {
    // This test program carries no payload resource of its own.
    EXPECT_THROW(TAttachedFiles(), PayloadDamaged);
}

// DLLs an attacker might leave in a download folder: system DLLs that are
// not KnownDLLs and that the program, the common controls or the system's
// own libraries (a delayed import of the drawing code among them) may load
// by name at run time. Left out: version.dll, which Wine's own user32
// imports while the process is being loaded, before any code of the program
// runs (on Windows that import belongs to the system's own DLLs and is
// resolved from the system folder), and shell32, ole32 and oleaut32, which
// the program imports and Windows takes from the KnownDLLs, while Wine
// would resolve a planted copy beside the program for the import itself.
const char* const kPlantedNames[] = {"msimg32.dll", "uxtheme.dll",  "dwmapi.dll",      "propsys.dll",
                                     "windowscodecs.dll", "userenv.dll", "apphelp.dll", "mpr.dll",
                                     "shfolder.dll", "winmm.dll", "oleacc.dll"};

class DllPlanting : public ::testing::Test {
protected:
    // Wine prefers its built-in copies of system DLLs and would never show a
    // planted one being picked up. Per-program overrides make it look for
    // native ones first, as Windows does, for the two programs started here.
    void SetUp() override {
        for (const char* name : kPlantedNames)
            ASSERT_TRUE(CopyFileA(BuildFile("planted_marker.dll").c_str(), (folder_ / name).c_str(), FALSE)) << name;
        for (const char* program : {"loader.exe", "setup.exe"}) SetNativeFirst(program, true);
    }
    void TearDown() override {
        for (const char* program : {"loader.exe", "setup.exe"}) SetNativeFirst(program, false);
    }

    static void SetNativeFirst(const std::string& program, bool on) {
        const std::string key = "Software\\Wine\\AppDefaults\\" + program + "\\DllOverrides";
        if (!on) {
            RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
            return;
        }
        HKEY raw = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr),
                  ERROR_SUCCESS);
        UniqueRegKey overrides(raw);
        for (const char* name : kPlantedNames) {
            std::string base(name);
            base.resize(base.size() - 4);
            const char value[] = "native,builtin";
            RegSetValueExA(overrides.get(), base.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof value);
        }
    }

    std::vector<std::string> Loaded() {
        std::vector<std::string> loaded;
        for (const char* name : kPlantedNames)
            if (FileExists(folder_ / (std::string(name) + ".loaded"))) loaded.push_back(name);
        return loaded;
    }

    // This build's setup.exe, copied into the download folder beside the
    // planted DLLs.
    std::string PlantedSetup() {
        const std::string program = folder_ / "setup.exe";
        EXPECT_TRUE(CopyFileA(BuildFile("setup.exe").c_str(), program.c_str(), FALSE));
        return program;
    }

    // The installation is there and nothing planted was loaded; then it goes.
    void ExpectInstalledLoadingNothingPlanted(const std::string& mainDir) {
        EXPECT_TRUE(FileExists(mainDir + "\\qwp.exe"));
        EXPECT_EQ(Loaded(), std::vector<std::string>{});
        RemoveInstallation();
    }

    TempFolder folder_;
};

TEST_F(DllPlanting, TheSetUpCatchesAnUnprotectedLoad) {
    const std::string loader = folder_ / "loader.exe";
    ASSERT_TRUE(CopyFileA(BuildFile("naive_loader.exe").c_str(), loader.c_str(), FALSE));
    ChildProcess naive(Quoted(loader) + " shfolder.dll", folder_.Path());
    ASSERT_TRUE(naive.Started());
    EXPECT_EQ(naive.WaitForExit(kStartTimeout), 0u);
    EXPECT_EQ(Loaded(), std::vector<std::string>{"shfolder.dll"});
}

TEST_F(DllPlanting, SetupLoadsNoDllFromItsFolderOrWorkingFolder) {
    const std::string program = PlantedSetup();
    TempFolder temp;
    TempRedirect scope(temp.Path());
    ChildProcess setup(Quoted(program), folder_.Path());
    ASSERT_TRUE(setup.Started());
    // The wizard window is up by then, so the libraries it draws with have
    // been loaded too.
    EXPECT_EQ(CancelWizardAndWait(setup), static_cast<DWORD>(kExitSuccess));
    EXPECT_EQ(Loaded(), std::vector<std::string>{});
}

// A whole install walked through every page: the drive and folder lists,
// the components list, the shortcuts, the associations started and the
// launch after Finish load what they load, and none of it from the
// download folder.
TEST_F(DllPlanting, AWholeInstallLoadsNoDllFromTheDownloadFolder) {
    const std::string program = PlantedSetup();
    TempFolder destination;
    {
        TempRedirect scope(TempFolder().Path());
        SetupRun run(ScreensFolder("dll-planting"), Quoted("-d" + destination / "Quilvane"), folder_.Path(), program);
        ASSERT_TRUE(run.Started());
        ASSERT_TRUE(run.InstallThroughFinish());
    }
    // The word processor Finish launched holds the destination: closed
    // before it is taken away.
    EXPECT_TRUE(WaitUntil([] { return CloseStandInWindows() > 0; }, kStartTimeout))
        << "Finish did not launch the word processor";
    ExpectInstalledLoadingNothingPlanted(destination / "Quilvane");
}

// An unattended run loads fewer libraries up front (no window, no drawing)
// and makes its shortcuts in a windowless apartment: still none of what the
// system loads for it comes from the download folder.
TEST_F(DllPlanting, AnUnattendedInstallLoadsNoDllFromTheDownloadFolder) {
    const std::string program = PlantedSetup();
    TempFolder destination;
    {
        TempRedirect scope(TempFolder().Path());
        ChildProcess setup(Quoted(program) + " /S /D=" + destination / "Quilvane", folder_.Path());
        ASSERT_TRUE(setup.Started());
        EXPECT_EQ(setup.WaitForExit(kInstallTimeout), static_cast<DWORD>(kExitSuccess));
    }
    ExpectInstalledLoadingNothingPlanted(destination / "Quilvane");
}

// The whole payload lives in memory. Linked as the setup is, a program gets
// more than the 2 GB of addresses a 32-bit program has by default (4 GB on
// 64-bit Windows), so a large product still fits.
TEST(AddressSpace, ASetupLinkedProgramCanReserveMoreThanTwoGigabytes) {
    ChildProcess probe(Quoted(BuildFile("address_space_probe.exe")));
    ASSERT_TRUE(probe.Started());
    const DWORD pieces = probe.WaitForExit(kStartTimeout);
    ASSERT_NE(pieces, STILL_ACTIVE);
    EXPECT_GT(pieces * 64, 2048u) << "megabytes of address space";
}

}  // namespace
}  // namespace qwp::test
