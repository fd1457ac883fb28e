#include "tests/support/InstalledFiles.h"

#include "instutils/PathText.h"
#include "tests/support/Installation.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Text.h"

#include <windows.h>

#include <cstdio>

namespace qwp::test {

std::vector<PayloadEntry> ReadManifest() {
    std::vector<PayloadEntry> entries;
    for (const std::string& line : LinesOf(ReadWholeFile(SourceFile("sample/manifest.tsv")))) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t tab1 = line.find('\t'), tab2 = line.find('\t', tab1 + 1);
        if (tab1 == std::string::npos || tab2 == std::string::npos) continue;
        entries.push_back({line.substr(0, tab1), line.substr(tab1 + 1, tab2 - tab1 - 1), line.substr(tab2 + 1)});
    }
    return entries;
}

std::string SourceBytes(const PayloadEntry& entry) {
    if (entry.source == "@qwp") return ReadWholeFile(BuildFile("qwp.exe"));
    return ReadWholeFile(SourceFile("sample/files/" + entry.source));
}

bool IsSpellingFile(const std::string& name) {
    static const std::set<std::string> spelling = {"english (american).asc", "english (british).asc", "english.zlx",
                                                   "us.zlx", "uk.zlx", "userdicen.tlx", "english (american).cache"};
    return spelling.count(Lower(name)) != 0;
}

std::string InstalledPath(const std::string& mainDir, const std::string& name) {
    const std::string lower = Lower(name);
    if (IsSpellingFile(name)) return SpellingFolder() + name;
    if (StartsWith(lower, "templates\\") || StartsWith(lower, "clip library\\") || lower == "basic.asn")
        return PublicFolder() + name;
    return JoinPath(mainDir, name);
}

std::set<std::string> ExpectedCopies(const std::string& mainDir) {
    std::set<std::string> copies;
    for (const PayloadEntry& entry : ReadManifest()) copies.insert(Lower(InstalledPath(mainDir, entry.name)));
    copies.insert(Lower(SpellingFolder() + "English (British).cache"));
    return copies;
}

std::string LocalWriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return "missing";
    FILETIME local;
    SYSTEMTIME time;
    FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    FileTimeToSystemTime(&local, &time);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", time.wYear, time.wMonth, time.wDay, time.wHour,
                  time.wMinute, time.wSecond);
    return text;
}

std::vector<std::string> WrongInstalledFiles(const std::string& mainDir) {
    std::vector<std::string> wrong;
    for (const PayloadEntry& entry : ReadManifest()) {
        const std::string path = InstalledPath(mainDir, entry.name);
        const std::string time = LocalWriteTime(path);
        if (time == "missing")
            wrong.push_back(path + ": missing");
        else if (ReadWholeFile(path) != SourceBytes(entry))
            wrong.push_back(path + ": content differs");
        else if (time != entry.timestamp)
            wrong.push_back(path + ": time " + time + ", expected " + entry.timestamp);
        if (wrong.size() == 10) break;
    }
    return wrong;
}

}  // namespace qwp::test
