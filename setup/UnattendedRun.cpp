#include "setup/UnattendedRun.h"

#include "controls/CheckListBox.h"
#include "controls/MessageDlg.h"
#include "instutils/InstUtils.h"
#include "instutils/RunLog.h"
#include "payload/InstallRun.h"
#include "registration/PostInstall.h"
#include "registration/RunningInstance.h"
#include "registration/SetupChoices.h"
#include "registration/UninstallEntry.h"
#include "registration/UpdateLog.h"
#include "setup/ExitCodes.h"
#include "wizard/DestDirText.h"
#include "wizard/ProgressWindow.h"

#include <algorithm>
#include <memory>

namespace qwp {

namespace {

// Nobody is there to answer: every question the run's code would ask gets
// the answer that stops or changes nothing (Abort for a file that cannot
// be written, so no Retry loop can spin), and is written to the run's log.
class UnattendedAnswers {
public:
    UnattendedAnswers() {
        SetMessageAnswerer([](const MessageRequest& request) {
            const MsgButton answer = (request.buttons & mbAbort) ? mbAbort
                                     : request.escapeButton != mbNone ? request.escapeButton
                                                                      : request.defaultButton;
            std::string caption = ButtonCaption(answer);
            caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
            RunLogLine("Message", request.text + " (answered " + caption + ")");
            return ResultOf(answer);
        });
    }
    ~UnattendedAnswers() { SetMessageAnswerer(nullptr); }
    UnattendedAnswers(const UnattendedAnswers&) = delete;
    UnattendedAnswers& operator=(const UnattendedAnswers&) = delete;
};

std::uint8_t SelectionOf(const std::vector<int>& rowStates) {
    std::vector<int> components;
    std::vector<bool> chosen;
    for (std::size_t row = 0; row < rowStates.size(); ++row) {
        components.push_back(static_cast<int>(row));
        chosen.push_back(rowStates[row] != static_cast<int>(CheckState::Unchecked));
    }
    return SelectionFromRows(components, chosen);
}

// The components page's test: the chosen components' sizes on the
// destination drive, summed as the page sums them, against the drive's
// free space. A drive that cannot be asked has no room.
bool ChosenComponentsFit(const std::vector<int>& rowStates, const std::string& mainDir) {
    std::uint32_t sum = 0;
    for (int n = 0; n < kComponentCount; ++n)
        if (rowStates[static_cast<std::size_t>(n)] != static_cast<int>(CheckState::Unchecked))
            sum += static_cast<std::uint32_t>(AttachedFiles->ComponentSize(ComponentSizePatterns[n], mainDir));
    const auto required = static_cast<std::int32_t>(sum);
    const std::int64_t free = DriveFreeBytes(mainDir);
    RunLogLine("Disk space", mainDir + ": required " + std::to_string(required) + " bytes, free " +
                                 (free < 0 ? std::string("unknown") : std::to_string(free) + " bytes"));
    return free >= 0 && free >= required;
}

// The associations, common data file and shortcuts of page 7, with the
// stored boxes.
void RunPostInstallActions(const InstallTarget& target, StoredChoices& choices) {
    WriteCommonDataFile(target.GetInstallFolder(CommonDataFolder));
    if (target.IsPortableInstall()) return;
    const AssociationBoxes boxes = AssociationBoxesOf(choices.AssociationLetters);
    choices.AssociationLetters = AssociationLettersOf(boxes);
    StartCommand(AssociationCommand(target.MainDir, boxes));
    PlaceShortcuts(target.MainDir, choices.InstallToAll, choices.DesktopShortcut);
}

// Finish without the launch: Update.log, unless portable. False when it
// could not be read or written.
bool MergeUpdateLog(InstallTarget& target) {
    if (target.IsPortableInstall() || AttachedFiles->SharedUpdateList.empty()) return true;
    const UpdateLogResult result = WriteUpdateLog(AttachedFiles->SharedUpdateList, target.InstallStamp,
                                                  target.GetInstallFolder(CommonDataFolder));
    RunLogLine("Update log", result.ok ? target.GetInstallFolder(CommonDataFolder) + "Update.log" : result.message);
    return result.ok;
}

// What the setup driver does after the wizard once the install has
// started: the choices, the uninstall entry and Install.log.
void StoreRun(const InstallTarget& target, StoredChoices choices, const std::vector<int>& rowStates) {
    choices.MainDir = target.MainDir;
    choices.StoredComponents = MergeComponentBits(choices.StoredComponents, rowStates);
    const bool portable = target.IsPortableInstall();
    TRegistry registry;
    WriteStoredChoices(registry, choices);
    if (!portable) WriteUninstallEntry(registry, target.MainDir);
    if (!portable) RunLogLine("Install log", InstallLogPath + (SaveInstallLog() ? "" : " (not written)"));
}

int Stop(int code, const char* reason) {
    RunLogLine("Exit", std::to_string(code) + " (" + reason + ")");
    return code;
}

}  // namespace

int RunUnattended(RunMode mode, const std::vector<std::string>& args, HWND owner) {
    UnattendedAnswers answers;
    RunLogLine("Mode", mode == RunMode::Silent ? "silent" : "progress window");
    if (IsWordProcessorRunning()) return Stop(kExitWordProcessorRunning, "the word processor is running");

    StoredChoices choices = ReadStoredChoices(args, ChoiceKeys::Untouched);
    InstallTarget target;
    target.MainDir = NormalizedDestDir(choices.MainDir, '\0');
    const std::vector<int> rowStates = ComponentRowStates(choices.StoredComponents);
    target.SelectedComponents = SelectionOf(rowStates);
    if (!ChosenComponentsFit(rowStates, target.MainDir))
        return Stop(kExitNoDiskSpace, "not enough free space on the destination drive");

    CreateChoiceKeys();
    std::unique_ptr<TProgressWindow> window;
    if (mode == RunMode::Progress) window = std::make_unique<TProgressWindow>(owner);
    const InstallResult result = RunInstall(*AttachedFiles, target, [&window](const InstallProgress& progress) {
        if (window) window->Show(progress);
    });

    int code = kExitSuccess;
    const char* reason = "installed";
    if (result == InstallResult::Aborted) {
        code = kExitFileNotWritten;
        reason = "a file could not be written";
    } else {
        RunPostInstallActions(target, choices);
        if (!MergeUpdateLog(target)) {
            code = kExitFileNotWritten;
            reason = "Update.log could not be written";
        }
    }
    window.reset();
    StoreRun(target, choices, rowStates);
    return Stop(code, reason);
}

}  // namespace qwp
