// What packagers read of the program: the package manager's installer
// manifest (its switches and return codes), and the README's exit-code
// table, against the program's own exit codes and command-line reader.
#include "setup/CommandLine.h"
#include "setup/ExitCodes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace qwp {
namespace {

const char kInstallerManifest[] = "docs/winget/Quilvane.WordProcessor.installer.yaml";

std::string SourceText(const std::string& relative) {
    std::ifstream file(std::string(QWP_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// "key: value" lines of the manifest, in order, indentation and list dashes
// dropped: enough for its flat switch and return-code lists.
std::vector<std::pair<std::string, std::string>> ManifestPairs(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> pairs;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        line = Trimmed(line);
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '-') line = Trimmed(line.substr(1));
        const std::size_t colon = line.find(": ");
        if (colon != std::string::npos) pairs.emplace_back(line.substr(0, colon), Trimmed(line.substr(colon + 2)));
    }
    return pairs;
}

TEST(PackagerDocs, ManifestReturnCodesAreTheProgramsExitCodes) {
    const std::map<int, std::string> expected = {
        {kExitSetupFailed, "contactSupport"},         {kExitPayloadDamaged, "contactSupport"},
        {kExitWordProcessorRunning, "packageInUse"},  {kExitNoDiskSpace, "diskFull"},
        {kExitFileNotWritten, "fileInUse"},           {kExitAlreadyRunning, "installInProgress"},
        {kExitBadDestination, "invalidParameter"},    {kExitBadArgument, "invalidParameter"},
        {kExitNotRecorded, "contactSupport"},
    };
    const auto pairs = ManifestPairs(SourceText(kInstallerManifest));
    ASSERT_FALSE(pairs.empty()) << "the manifest could not be read";
    std::map<int, std::string> listed;
    for (std::size_t i = 0; i + 1 < pairs.size(); ++i)
        if (pairs[i].first == "InstallerReturnCode" && pairs[i + 1].first == "ReturnResponse")
            listed[std::stoi(pairs[i].second)] = pairs[i + 1].second;
    EXPECT_EQ(listed, expected);
}

TEST(PackagerDocs, ManifestSwitchesAreReadAsTheyMean) {
    std::map<std::string, std::string> switches;
    for (const auto& [key, value] : ManifestPairs(SourceText(kInstallerManifest))) switches[key] = value;
    ASSERT_EQ(switches.count("Silent"), 1u);
    const std::string folder = "C:\\Program Files\\Q W P";
    std::string line = "setup.exe " + switches["Silent"] + " " + switches["Log"] + " " + switches["InstallLocation"];
    for (const auto& [placeholder, value] : {std::pair<std::string, std::string>{"<LOGPATH>", "C:\\Temp\\Q W P\\q.log"},
                                             {"<INSTALLPATH>", folder}})
        line.replace(line.find(placeholder), placeholder.size(), value);
    const SetupOptions silent = ParseCommandLine(line);
    EXPECT_EQ(silent.mode, RunMode::Silent) << line;
    // The package manager's log folder lies in the user's profile, which
    // may hold blanks: the switch quotes it.
    EXPECT_EQ(silent.logPath, "C:\\Temp\\Q W P\\q.log") << line;
    EXPECT_TRUE(silent.hasDestDir) << line;
    EXPECT_EQ(silent.destDir, folder) << line;
    EXPECT_TRUE(silent.unknownSwitch.empty()) << line;
    EXPECT_EQ(ParseCommandLine("setup.exe " + switches["SilentWithProgress"]).mode, RunMode::Progress);
}

TEST(PackagerDocs, ReadmeTableHasARowForEveryExitCode) {
    const std::string readme = SourceText("README.md");
    for (int code = kExitSuccess; code <= kExitNotRecorded; ++code)
        EXPECT_NE(readme.find("\n| " + std::to_string(code) + " | "), std::string::npos) << "exit code " << code;
}

}  // namespace
}  // namespace qwp
