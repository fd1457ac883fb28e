// A destination too long for the files an installation writes below it,
// given to an unattended run: refused before anything is written, while a
// folder at the limit installs.
#include "tests/scenarios/UnattendedScenario.h"

namespace qwp::test::unattended {
namespace {

using LongFolder = UnattendedTest;

// Hyphenation.dat (15 characters) is the deepest name a normal installation
// writes below its folder: 243 characters, a backslash and that name make
// the 259 a file may have.
TEST_F(LongFolder, OneCharacterOverTheLimitExitsSevenWritingNothing) {
    const struct {
        std::size_t characters;
        DWORD code;
    } cases[] = {{244, 7}, {243, 0}};
    const std::string log = scratch_ / "run.log";
    for (const auto& c : cases) {
        RemoveInstallation();
        DeleteFileA(log.c_str());
        const std::string folder = scratch_.Path() + std::string(c.characters - scratch_.Path().size(), 'L');
        SCOPED_TRACE(folder);
        const RunSeen run = WatchSetup(Quoted("-d" + folder) + " /S " + Quoted("/LOG=" + log));
        EXPECT_EQ(run.exitCode, c.code);
        const std::vector<std::string> lines = RunLogLines(log);
        if (c.code == 7) {
            EXPECT_EQ(Joined(TracesOfInstallation(folder), "; "), "");
            const std::string told = Joined(LinesOfKind(lines, "Destination"), "; ");
            EXPECT_NE(told.find("The folder \"" + folder + "\" is too long"), std::string::npos) << told;
            EXPECT_EQ(lines.empty() ? "" : lines.back(), "Exit: 7 (the destination folder cannot be used)");
        } else {
            for (const char* name : {"qwp.exe", "License.txt", "Hyphenation.dat", "Install.log"})
                EXPECT_TRUE(FileExists(JoinPath(folder, name))) << name;
        }
    }
}

}  // namespace
}  // namespace qwp::test::unattended
