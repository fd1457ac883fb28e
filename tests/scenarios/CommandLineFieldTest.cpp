// Command lines as Windows, scripts and deployment tools really hand them to
// the real setup: characters the ANSI code page has no form for, a program
// name quoted in the middle, empty and driveless folders, stray arguments,
// and switches the setup does not know in a run nobody watches. Each is
// started through CreateProcessW with the exact UTF-16 text, as Windows
// keeps it.
#include "tests/scenarios/UnattendedScenario.h"

namespace qwp::test::unattended {
namespace {

// One run of a program given its UTF-16 command line as it stands, its
// standard output captured.
struct WideRun {
    DWORD exitCode = STILL_ACTIVE;
    std::string output;
    std::vector<std::string> shown;  // visible top-level windows seen while it ran
};

std::wstring Wide(const std::string& ansi) {
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &wide[0], length);
    wide.pop_back();
    return wide;
}

WideRun RunWide(const std::string& program, std::wstring commandLine) {
    WideRun run;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return run;
    UniqueKernelHandle reader(readEnd), writer(writeEnd);
    SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writer.get();
    startup.hStdError = writer.get();
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    const std::wstring application = Wide(program);
    if (!CreateProcessW(application.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &info)) {
        ADD_FAILURE() << "CreateProcessW failed with " << GetLastError();
        return run;
    }
    UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    writer.reset();
    const DWORD until = GetTickCount() + kStartTimeout;
    while (WaitForSingleObject(process.get(), 20) == WAIT_TIMEOUT && GetTickCount() < until)
        for (HWND window : VisibleWindowsOf(info.dwProcessId)) {
            const std::string seen = WindowClass(window) + " \"" + WindowText(window) + "\"";
            if (std::find(run.shown.begin(), run.shown.end(), seen) == run.shown.end()) run.shown.push_back(seen);
        }
    if (WaitForSingleObject(process.get(), 0) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the setup still ran after " << kStartTimeout << " ms";
        TerminateProcess(process.get(), 99);
        return run;
    }
    GetExitCodeProcess(process.get(), &run.exitCode);
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(reader.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) run.output.append(buffer, got);
    return run;
}

class CommandLineField : public UnattendedTest {
protected:
    std::wstring Setup() const { return L"\"" + Wide(BuildFile("setup.exe")) + L"\""; }
    std::wstring LogSwitch() const { return L"\"/LOG=" + Wide(log_.Path()) + L"\""; }
    std::wstring Dest() const { return Wide(Destination()); }
    // The arguments with the log switch where it breaks nothing: "/D=" stays
    // last and "-d" first.
    static bool EndsWithFolderToEnd(const std::wstring& arguments) {
        return arguments.find(L"/D=") != std::wstring::npos;
    }
    std::wstring WithLog(const std::wstring& arguments) const {
        return EndsWithFolderToEnd(arguments) ? LogSwitch() + L" " + arguments : arguments + L" " + LogSwitch();
    }

    // No choice stored, no uninstall entry, no destination.
    void ExpectNothingRecorded(const std::string& what) {
        EXPECT_FALSE(KeyExists(kProductKey)) << what;
        EXPECT_EQ(UninstallEntryValue("UninstallString"), "absent") << what;
        EXPECT_FALSE(FolderExists(Destination())) << what;
        EXPECT_FALSE(FolderExists(DefaultDestination())) << what;
    }
};

// A fullwidth quote (U+FF02) in a folder meant as one argument: Windows'
// ANSI command line turns it into '"', which would end the folder and make
// the "/P x" inside it a switch and a stray argument. Read from UTF-16, it
// is a character of the folder that the code page has no form for, and the
// folder is refused. A fullwidth backslash (U+FF3C) cannot make "\..\".
TEST_F(CommandLineField, CharactersWithoutAnAnsiFormNeverMoveArgumentsAndAreRefused) {
    const struct {
        std::wstring arguments;
        DWORD code;
        const char* logged;  // the "Command line" line of the run log, the log switch left out
    } cases[] = {
        {L"\"-d" + Dest() + L"\uFF02 /P x\" /S", 7, "\"-d?DEST? /P x\" /S"},
        {L"/S \"/DIR=" + Dest() + L"\uFF3C..\uFF3C..\"", 7, "/S \"/DIR=?DEST?..?..\""},
        {L"/S /D=" + Dest() + L"\uFF02 x", 7, "/S \"/D=?DEST? x\""},
        {L"/S /LOG=C:\\\uFF02.log -d" + Dest(), 8, ""},
    };
    for (const auto& c : cases) {
        log_.Remove();
        const WideRun run = RunWide(BuildFile("setup.exe"), Setup() + L" " + WithLog(c.arguments));
        const std::string what = std::to_string(c.code) + " " + c.logged;
        EXPECT_EQ(run.exitCode, c.code) << what;
        EXPECT_EQ(Joined(run.shown, "; "), "") << what;
        ExpectNothingRecorded(what);
        if (c.code != 7) continue;
        const std::vector<std::string> lines = log_.Lines();
        ASSERT_FALSE(lines.empty()) << what;
        std::string logged = c.logged;
        logged.replace(logged.find("?DEST?"), 6, Destination() + "?");
        std::string logArgument = "/LOG=" + log_.Path();
        if (logArgument.find(' ') != std::string::npos) logArgument = Quoted(logArgument);
        EXPECT_EQ(lines.front(), "Command line: " + (EndsWithFolderToEnd(c.arguments) ? logArgument + " " + logged
                                                                                     : logged + " " + logArgument));
        EXPECT_EQ(log_.LastLine(), "Exit: 7 (the destination folder cannot be used)");
    }
}

// The program name as cmd passes it when only a part of the path is quoted:
// the C runtime's reading, quotes toggling, so the switches after it count.
TEST_F(CommandLineField, ProgramNameQuotedInTheMiddleKeepsTheSwitches) {
    std::string program = BuildFile("setup.exe");
    const std::size_t lastSlash = program.find_last_of('\\');
    const std::wstring halfQuoted = L"\"" + Wide(program.substr(0, lastSlash)) + L"\"" +
                                    Wide(program.substr(lastSlash));
    const WideRun run = RunWide(program, halfQuoted + L" \"-d" + Dest() + L"\" /S " + LogSwitch());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(Joined(run.shown, "; "), "");
    EXPECT_TRUE(FileExists(InDestination("qwp.exe")));
}

// Folders nobody can take as meant, arguments that are no switch, and
// switches the setup does not know, in runs without the wizard: each ends
// at once with its code, shows no window and writes nothing. The usage
// goes to the standard output (and the run log) instead of a box.
TEST_F(CommandLineField, RunsWithoutTheWizardRefuseWhatTheyCannotReadWithoutAnyBox) {
    const struct {
        std::wstring arguments;
        DWORD code;
        const char* exitLine;
        bool usageOnOutput;
    } cases[] = {
        {L"/S /D=", 7, "Exit: 7 (the destination folder cannot be used)", false},
        {L"/S /D=Apps", 7, "Exit: 7 (the destination folder cannot be used)", false},
        {L"-d\\Apps /P", 7, "Exit: 7 (the destination folder cannot be used)", false},
        {L"/VERYSILENT \"/DIR=  \"", 7, "Exit: 7 (the destination folder cannot be used)", false},
        {L"/S \"-d" + Dest() + L"\"", 8, "Exit: 8 (argument \"-d?\" is no switch)", true},
        {L"/S \"\"", 8, "Exit: 8 (argument \"\" is no switch)", true},
        {L"/P /SP-", 8, "Exit: 8 (unknown switch /SP-)", true},
        {L"/SILENT /SUPPRESSMSGBOXES /X", 8, "Exit: 8 (unknown switch /X)", true},
        {L"/P /?", 0, "Exit: 0 (usage shown)", true},
        {L"/HELP /S", 0, "Exit: 0 (usage shown)", true},
    };
    for (const auto& c : cases) {
        log_.Remove();
        const WideRun run = RunWide(BuildFile("setup.exe"), Setup() + L" " + WithLog(c.arguments));
        std::string exitLine = c.exitLine;
        const std::size_t mark = exitLine.find("-d?");
        if (mark != std::string::npos) exitLine.replace(mark + 2, 1, Destination());
        const std::string what = exitLine;
        EXPECT_EQ(run.exitCode, c.code) << what;
        EXPECT_EQ(Joined(run.shown, "; "), "") << what;
        EXPECT_EQ(log_.LastLine(), exitLine);
        EXPECT_EQ(run.output.rfind("Usage: setup.exe [options]\r\n", 0) == 0, c.usageOnOutput) << what << run.output;
        ExpectNothingRecorded(what);
    }
}

}  // namespace
}  // namespace qwp::test::unattended
