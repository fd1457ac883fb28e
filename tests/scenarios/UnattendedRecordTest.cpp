// Unattended installs whose files all went in but whose record could not
// be written in full: the run says so with exit code 9 and names what
// failed in its log, instead of reporting a success the next run, the
// uninstaller and the program list would not see. A raw command line from
// a batch file whose quoted folder ends in a backslash is read as the
// folder followed by the switches.
#include "tests/scenarios/UnattendedScenario.h"

namespace qwp::test::unattended {
namespace {

using UnattendedRecord = UnattendedTest;

struct UnrecordedCase {
    const char* name;
    std::function<bool(const std::string& destination)> block;  // run before the setup
    const char* named;  // what the log's failure line must name
    bool choicesStored;
};

TEST_F(UnattendedRecord, WriteOfTheEndingThatFailsExitsNineWithEveryFileInPlace) {
    const UnrecordedCase cases[] = {
        {"a folder where Install.log goes",
         [](const std::string& destination) {
             return SHCreateDirectoryExA(nullptr, JoinPath(destination, "Install.log").c_str(), nullptr) ==
                    ERROR_SUCCESS;
         },
         "the install log", true},
        // A volatile parent: the Install key, an ordinary key, cannot be
        // made below it.
        {"the choices' key cannot be created",
         [](const std::string&) { return MakeVolatileKey("Software\\Quilvane Word Processor"); },
         "the setup choices", false},
    };
    for (const UnrecordedCase& c : cases) {
        RemoveInstallation();
        RemoveTree(JoinPath(Destination(), ""));
        log_.Remove();
        ASSERT_TRUE(c.block(Destination())) << c.name;

        const RunSeen run = WatchSetup(DestinationArgument() + " /S " + log_.Switch());
        EXPECT_EQ(run.exitCode, 9u) << c.name;
        EXPECT_EQ(Joined(run.shown, "; "), "") << c.name << ": windows shown by a silent run";
        for (const PayloadEntry& entry : ReadManifest()) {
            const std::string path = InstalledPath(Destination(), entry.name);
            EXPECT_TRUE(FileExists(path)) << c.name << ": " << path;
        }
        EXPECT_EQ(Lower(UninstallEntryValue("UninstallString")),
                  Lower("REG_SZ:" + Quoted(InDestination("qwp.exe")) + " -ui"))
            << c.name;
        EXPECT_EQ(StoredValue("MAINDIR") != "absent", c.choicesStored) << c.name;

        const std::vector<std::string> lines = log_.Lines();
        ASSERT_FALSE(lines.empty()) << c.name;
        EXPECT_EQ(lines.back(), "Exit: 9 (installed, but not all of it could be recorded)") << c.name;
        const std::vector<std::string> failures = LinesOfKind(lines, "Failure");
        ASSERT_EQ(failures.size(), 1u) << c.name;
        EXPECT_NE(failures[0].find(c.named), std::string::npos) << c.name << ": " << failures[0];
    }
}

// cmd hands a batch file's command line over as it stands; the C runtime's
// rules would read "-d<folder>\" /S as one argument holding a quote.
TEST_F(UnattendedRecord, QuotedFolderEndingInABackslashFromABatchFile) {
    const std::string batch = scratch_ / "deploy.cmd";
    ASSERT_TRUE(WriteWholeFile(batch, "@echo off\r\n" + Quoted(BuildFile("setup.exe")) + " \"-d" + Destination() + "\\\" /S " +
                                          log_.Switch() + "\r\nexit /b %ERRORLEVEL%\r\n"));
    char system[MAX_PATH] = {};
    ASSERT_NE(GetSystemDirectoryA(system, MAX_PATH), 0u);
    const RunSeen run = WatchRun(JoinPath(system, "cmd.exe"), "/c " + Quoted(batch));
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(Joined(run.shown, "; "), "") << "the wizard opened: /S was not seen";
    EXPECT_TRUE(FileExists(InDestination("qwp.exe")));
    EXPECT_EQ(LinesOfKind(log_.Lines(), "Mode"), std::vector<std::string>{"silent"});
    ExpectDefaultChoicesStored(Destination());
}

}  // namespace
}  // namespace qwp::test::unattended
