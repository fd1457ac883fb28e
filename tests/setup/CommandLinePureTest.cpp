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
        // The program name ends at a blank outside quotes, as the C runtime
        // reads it: quotes toggle anywhere in it.
        {R"("C:\a b\setup.exe"/S)", {}},
        {R"("C:\a b\setup.exe /S)", {}},  // the unterminated name takes it all
        {R"(C:\a\setup.exe /P)", {"/P"}},
        {R"(C:\a"b c"\setup.exe /S)", {"/S"}},
        {R"(C:\"Program Files"\Q\setup.exe -dC:\Apps\Q /S)", {R"(-dC:\Apps\Q)", "/S"}},
        {R"("C:\Program Files"\Q\setup.exe /S)", {"/S"}},
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
    // like one must not turn a wizard run into an unattended install. Those
    // starting with '/' are reported as unknown, the others ignored.
    const struct {
        const char* arg;
        const char* unknown;
    } cases[] = {
        {"/Silent2", "/Silent2"}, {"/SP", "/SP"}, {"/", "/"}, {"/PS", "/PS"}, {"/LOG", "/LOG"},
        {"/LOGS=x", "/LOGS=x"}, {"/S ", "/S "}, {"/S=x", "/S=x"}, {"/HELPME", "/HELPME"}, {"/DIR", "/DIR"},
        {"-S", ""}, {"S", ""}, {"-d/S", ""}, {"-x", ""}, {"", ""},
    };
    for (const auto& c : cases) {
        const SetupOptions options = ParseSetupOptions({c.arg});
        EXPECT_EQ(RunMode::Wizard, options.mode) << c.arg;
        EXPECT_TRUE(options.logPath.empty()) << c.arg;
        EXPECT_FALSE(options.showUsage) << c.arg;
        EXPECT_EQ(c.unknown, options.unknownSwitch) << c.arg;
        // The others are stray arguments, but for a first "-d".
        EXPECT_EQ(*c.unknown == '\0' && std::string(c.arg).rfind("-d", 0) != 0, options.hasStrayArgument) << c.arg;
        if (options.hasStrayArgument) EXPECT_EQ(c.arg, options.strayArgument);
    }
}

TEST(CommandLine, WhatEndsTheRunAsABadArgumentByMode) {
    const struct {
        Args args;
        const char* wizard;  // the reason in the wizard's mode, "" when none
        const char* unattended;  // with "/S" added in front
    } cases[] = {
        {{"/bogus"}, "unknown switch /bogus", "unknown switch /bogus"},
        {{"-dC:\\Apps", "x"}, "", R"(argument "x" is no switch)"},
        {{"-dD:\\Apps"}, "", ""},
        {{"/LOG=C:\\r.log", "-dD:\\Apps"}, "", R"(argument "-dD:\Apps" is no switch)"},
        {{"-x", "/bogus"}, "unknown switch /bogus", "unknown switch /bogus"},
        {{""}, "", R"(argument "" is no switch)"},
        {{"/SUPPRESSMSGBOXES", "/NORESTART"}, "", ""},
    };
    for (const auto& c : cases) {
        std::string reason;
        const bool wizard = RefusedArgument(ParseSetupOptions(c.args), reason);
        EXPECT_EQ(*c.wizard != '\0', wizard) << c.args.front();
        if (wizard) EXPECT_EQ(c.wizard, reason);
        for (const char* quiet : {"/S", "/P"}) {
            Args withMode = c.args;
            withMode.insert(withMode.begin() + (withMode.front().rfind("-d", 0) == 0 ? 1 : 0), quiet);
            reason.clear();
            const bool refused = RefusedArgument(ParseSetupOptions(withMode), reason);
            EXPECT_EQ(*c.unattended != '\0', refused) << c.args.front() << " " << quiet;
            if (refused) EXPECT_EQ(c.unattended, reason);
        }
    }
}

TEST(CommandLine, ArgumentsWithoutAnAnsiFormAreRefusedAsTheFolderOrAsAnArgument) {
    // "\x01" is where the UTF-16 text held a character without an exact
    // ANSI form: a fullwidth quote or backslash, an accented letter the code
    // page lacks. Quotes and blanks stay where they were, so a fullwidth
    // quote cannot end an argument nor a fullwidth backslash add a "\..\".
    const struct {
        const char* raw;
        const char* folder;  // "" for none given
        RunMode mode;
        const char* unreadableFolder;
        const char* unreadableArgument;
        const char* logged;  // the arguments line of the run log
    } cases[] = {
        {"setup.exe \"-dC:\\A\x01 /S x\" /P", "C:\\A\x01 /S x", RunMode::Progress, "C:\\A? /S x", "",
         R"("-dC:\A? /S x" /P)"},
        {"setup.exe /S \"/DIR=C:\\Apps\x01..\x01Windows\"", "C:\\Apps\x01..\x01Windows", RunMode::Silent,
         "C:\\Apps?..?Windows", "", R"(/S /DIR=C:\Apps?..?Windows)"},
        {"setup.exe /S /D=C:\\Q \x01 P  ", "C:\\Q \x01 P", RunMode::Silent, "C:\\Q ? P", "",
         R"(/S "/D=C:\Q ? P")"},
        {"setup.exe /S /LOG=C:\\\x01.log", "", RunMode::Silent, "", "/LOG=C:\\?.log", "/S /LOG=C:\\?.log"},
        {"setup.exe x\x01 /S", "", RunMode::Silent, "", "x?", "x? /S"},
        {"setup.exe \"x\x01\" \"/DIR=\x01\"", "\x01", RunMode::Wizard, "?", "x?", "x? /DIR=?"},
        {"\"C:\\\x01\\setup.exe\" -dC:\\Apps /S", "C:\\Apps", RunMode::Silent, "", "", "-dC:\\Apps /S"},
        {"setup.exe \"\" -d", "", RunMode::Wizard, "", "", R"("" -d)"},
    };
    for (const auto& c : cases) {
        const SetupOptions options = ParseCommandLine(c.raw);
        EXPECT_EQ(c.folder, options.destDir) << c.logged;
        EXPECT_EQ(c.mode, options.mode) << c.logged;
        EXPECT_EQ(c.unreadableFolder, options.unreadableFolder) << c.logged;
        EXPECT_EQ(c.unreadableArgument, options.unreadableArgument) << c.logged;
        EXPECT_EQ(c.logged, ArgumentsLine(options));
    }
    std::string reason;
    EXPECT_TRUE(RefusedArgument(ParseCommandLine("setup.exe /x\x01"), reason));
    EXPECT_EQ(R"(argument "/x?" cannot be read in this system's code page)", reason);
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

TEST(CommandLine, RawTextWithPackagingSwitches) {
    constexpr RunMode W = RunMode::Wizard, S = RunMode::Silent, P = RunMode::Progress;
    const struct {
        const char* raw;
        RunMode mode;
        bool hasDestDir;
        const char* destDir;
        const char* logPath;
        bool showUsage;
        const char* unknownSwitch;
    } cases[] = {
        // "/D=" takes the rest of the raw text as it stands, trailing blanks dropped.
        {R"(setup.exe /S /D=C:\Program Files\Q W P)", S, true, R"(C:\Program Files\Q W P)", "", false, ""},
        {"setup.exe /D=C:\\Q W P \t \t", W, true, R"(C:\Q W P)", "", false, ""},
        {R"(setup.exe /d=C:\q)", W, true, R"(C:\q)", "", false, ""},
        {"setup.exe\t/LOG=C:\\r.log  /S  /D=C:\\Q", S, true, R"(C:\Q)", R"(C:\r.log)", false, ""},
        {R"(setup.exe /D=C:\a /S b /bogus "c")", W, true, R"(C:\a /S b /bogus "c")", "", false, ""},
        {"setup.exe /D=  ", W, true, "", "", false, ""},
        {R"("C:\x y\setup.exe"/D=C:\z)", W, false, "", "", false, ""},  // all of it the program name
        {R"(setup.exe -dC:\one /DIR=C:\two /D=C:\three)", W, true, R"(C:\three)", "", false, ""},
        // Not where an argument starts: no cut.
        {R"(setup.exe "-dC:\a /D=b" /P)", P, true, R"(C:\a /D=b)", "", false, ""},
        {R"(setup.exe "/D=C:\a b" /S)", S, false, "", "", false, R"(/D=C:\a b)"},
        {R"("C:\a /D=b\setup.exe" /S)", S, false, "", "", false, ""},
        {R"(setup.exe x/D=C:\a)", W, false, "", "", false, ""},
        // "/DIR=" wins over "-d"; of several, the last counts.
        {R"(setup.exe -dC:\one /DIR=C:\two)", W, true, R"(C:\two)", "", false, ""},
        {R"(setup.exe /dir=C:\one /DIR=C:\two)", W, true, R"(C:\two)", "", false, ""},
        {R"(setup.exe "/DIR=C:\Q W P")", W, true, R"(C:\Q W P)", "", false, ""},
        {R"(setup.exe /DIR="C:\Q W P" /S)", S, true, R"(C:\Q W P)", "", false, ""},
        {"setup.exe /VERYSILENT", S, false, "", "", false, ""},
        {"setup.exe /Silent", P, false, "", "", false, ""},
        {"setup.exe /verysilent /SILENT", S, false, "", "", false, ""},
        {"setup.exe /SILENT /VerySilent", S, false, "", "", false, ""},
        {"setup.exe /SUPPRESSMSGBOXES /norestart", W, false, "", "", false, ""},
        {"setup.exe /?", W, false, "", "", true, ""},
        {"setup.exe /S /help", S, false, "", "", true, ""},
        {"setup.exe /Help", W, false, "", "", true, ""},
        {"setup.exe /Silent2 /SP /LOG", W, false, "", "", false, "/Silent2"},
        {"setup.exe -x plain /LOGS=x /S /D=C:\\a", S, true, R"(C:\a)", "", false, "/LOGS=x"},
    };
    for (const auto& c : cases) {
        const SetupOptions options = ParseCommandLine(c.raw);
        EXPECT_EQ(c.mode, options.mode) << c.raw;
        EXPECT_EQ(c.hasDestDir, options.hasDestDir) << c.raw;
        EXPECT_EQ(c.destDir, options.destDir) << c.raw;
        EXPECT_EQ(c.logPath, options.logPath) << c.raw;
        EXPECT_EQ(c.showUsage, options.showUsage) << c.raw;
        EXPECT_EQ(c.unknownSwitch, options.unknownSwitch) << c.raw;
    }
}

TEST(CommandLine, UsageTextNamesEverySwitchOnCarriageReturnLines) {
    const std::string usage = kUsageText;
    EXPECT_EQ(0u, usage.find("Usage: setup.exe [options]\r"));
    EXPECT_EQ(std::string::npos, usage.find_first_of("\n\t"));
    for (const char* name : {"-d<folder>", "/D=<folder>", "/DIR=<folder>", "/S", "/VERYSILENT", "/P", "/SILENT",
                             "/LOG=<path>", "/SUPPRESSMSGBOXES", "/NORESTART", "/?", "/HELP"})
        EXPECT_NE(std::string::npos, usage.find(name)) << name;
}

}  // namespace
}  // namespace qwp
