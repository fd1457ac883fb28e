// The files of the sample payload as its manifest lists them, where an
// installation with every component writes each, and whether what it wrote
// is the payload's file with the payload's time.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace qwp::test {

struct PayloadEntry {
    std::string name;       // the entry's name in the payload
    std::string source;     // the file it was packed from ("@qwp": the stand-in program)
    std::string timestamp;  // local time, "YYYY-MM-DD hh:mm:ss"
};

// The entries of sample/manifest.tsv in its order, comments left out.
std::vector<PayloadEntry> ReadManifest();
// The bytes the entry was packed from.
std::string SourceBytes(const PayloadEntry& entry);

// An entry of the spell checker, which goes to the spelling folder (the
// "Spellcheck" sub-folder of a portable destination).
bool IsSpellingFile(const std::string& name);
// Where an installation with every component into mainDir writes an entry:
// the spelling files into the spelling folder, templates, clips and the
// autotext file into the shared Public folder, the rest into mainDir.
std::string InstalledPath(const std::string& mainDir, const std::string& name);
// Every copy such an installation makes, lower case: one per payload entry,
// and the American spelling cache once more as the British one.
std::set<std::string> ExpectedCopies(const std::string& mainDir);

// A file's last-write time in local time, as the manifest writes it;
// "missing" when there is no such file.
std::string LocalWriteTime(const std::string& path);
// The payload entries whose installed file is missing or differs from its
// source in content or time, as "path: why", at most ten.
std::vector<std::string> WrongInstalledFiles(const std::string& mainDir);

}  // namespace qwp::test
