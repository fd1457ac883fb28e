// The setup's command line: splitting the raw text and reading the options.
#include "setup/CommandLine.h"

#include <gtest/gtest.h>

namespace qwp {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, SplitKeepsBackslashesAndDropsTheProgramName) {
    const struct {
        const char* raw;
        Args expected;
    } cases[] = {
        // A backslash before the closing quote ends a folder, it does not escape.
        {R"(setup.exe "-dC:\Apps\" /S)", {R"(-dC:\Apps\)", "/S"}},
        {R"(setup.exe a\\b \"x)", {R"(a\\b)", R"(\x)"}},
        {R"("C:\Program Files\Q\setup.exe" /P)", {"/P"}},
        {R"("C:\a b\setup.exe")", {}},
        {R"("C:\a b\setup.exe"/S)", {"/S"}},
        {R"("C:\a b\setup.exe /S)", {}},  // the unterminated name takes it all
        {R"(C:\a\setup.exe /P)", {"/P"}},
        {R"(C:\a"b c"\setup.exe /S)", {R"(c\setup.exe /S)"}},  // no quoting in a bare name
        {"setup.exe", {}},
        {"", {}},
        {"setup.exe   ", {}},
        {"setup.exe\t/S", {"/S"}},
        {"setup.exe  \t /S\t\t/LOG=x  ", {"/S", "/LOG=x"}},
        {R"(setup.exe /LOG="C:\a b\x.log")", {R"(/LOG=C:\a b\x.log)"}},
        {R"(setup.exe "-dC:\a ""b"" c")", {R"(-dC:\a b c)"}},
        {R"(setup.exe "" /S "")", {"", "/S", ""}},
        {R"(setup.exe "-dC:\a b /S)", {R"(-dC:\a b /S)"}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.raw), c.expected) << c.raw;
}

TEST(CommandLine, SwitchesStandAnywhereAndIgnoreCase) {
    EXPECT_EQ(RunMode::Wizard, ParseSetupOptions({}).mode);
    EXPECT_EQ(RunMode::Silent, ParseSetupOptions({"/S"}).mode);
    EXPECT_EQ(RunMode::Silent, ParseSetupOptions({"-dC:\\Apps\\Quilvane", "/s"}).mode);
    EXPECT_EQ(RunMode::Progress, ParseSetupOptions({"x", "/p", "y"}).mode);
    // The quieter run wins, whatever the order.
    EXPECT_EQ(RunMode::Silent, ParseSetupOptions({"/P", "/S"}).mode);
    EXPECT_EQ(RunMode::Silent, ParseSetupOptions({"/S", "/P"}).mode);

    const SetupOptions logged = ParseSetupOptions({"/log=C:\\a b\\run.log", "/S"});
    EXPECT_EQ("C:\\a b\\run.log", logged.logPath);
    EXPECT_EQ("D:\\second.log", ParseSetupOptions({"/LOG=C:\\first.log", "/Log=D:\\second.log"}).logPath);
}

TEST(CommandLine, LookalikesAreNotSwitches) {
    // Only the exact switches count: a folder or a longer word that starts
    // like one must not turn a wizard run into an unattended install.
    for (const char* arg : {"/Silent", "/SP", "-S", "S", "/", "/PS", "-d/S", "/LOG", "/LOGS=x", "/S ", "/S=x"}) {
        const SetupOptions options = ParseSetupOptions({arg});
        EXPECT_EQ(RunMode::Wizard, options.mode) << arg;
        EXPECT_TRUE(options.logPath.empty()) << arg;
    }
}

TEST(CommandLine, DestDirOnlyAsFirstArgumentWithLowerCaseD) {
    const struct {
        Args args;
        bool hasDestDir;
        const char* destDir;
        RunMode mode;
    } cases[] = {
        {{"-dC:\\Apps"}, true, "C:\\Apps", RunMode::Wizard},
        {{"-d"}, true, "", RunMode::Wizard},
        {{"-dC:\\a b", "/p"}, true, "C:\\a b", RunMode::Progress},
        {{"-d/S"}, true, "/S", RunMode::Wizard},  // a folder, not a switch
        {{"-DC:\\Apps"}, false, "", RunMode::Wizard},
        {{"--dC:\\Apps"}, false, "", RunMode::Wizard},
        {{"/S", "-dC:\\Apps"}, false, "", RunMode::Silent},
        {{"x", "-d"}, false, "", RunMode::Wizard},
        {{}, false, "", RunMode::Wizard},
    };
    for (const auto& c : cases) {
        const std::string shown = c.args.empty() ? "(none)" : c.args[0];
        const SetupOptions options = ParseSetupOptions(c.args);
        EXPECT_EQ(c.hasDestDir, options.hasDestDir) << shown;
        EXPECT_EQ(c.destDir, options.destDir) << shown;
        EXPECT_EQ(c.mode, options.mode) << shown;
    }
}

TEST(CommandLine, RawTextWithQuotedFolderEndingInBackslash) {
    const SetupOptions folder = ParseCommandLine(R"(setup.exe "-dC:\Apps\" /S)");
    EXPECT_TRUE(folder.hasDestDir);
    EXPECT_EQ(R"(C:\Apps\)", folder.destDir);
    EXPECT_EQ(RunMode::Silent, folder.mode);

    const SetupOptions logged = ParseCommandLine(R"("C:\x y\setup.exe" -d /P /LOG="C:\l b\run.log")");
    EXPECT_TRUE(logged.hasDestDir);
    EXPECT_EQ("", logged.destDir);
    EXPECT_EQ(RunMode::Progress, logged.mode);
    EXPECT_EQ(R"(C:\l b\run.log)", logged.logPath);
}

}  // namespace
}  // namespace qwp
