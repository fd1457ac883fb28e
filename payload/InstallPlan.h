// The install plan: which payload entry is written where, for the chosen
// components and the destination folder.
#pragma once

#include "payload/AttachFiles.h"

#include <cstdint>
#include <string>

namespace qwp {

// Display names and size patterns of the six components, by number. A size
// pattern is one text, its lines separated by CR; a line ending in a
// backslash is a folder prefix.
extern const char* const ComponentNames[kComponentCount];
extern const char* const ComponentSizePatterns[kComponentCount];

enum FolderKind {
    CommonDataFolder = 0,  // common application data + "Quilvane"
    HiddenDataFolder = 1,  // its "Hidden" sub-folder
    PublicDataFolder = 2,  // its "Public" sub-folder
    UserDataFolder = 3,    // the user's application data + "Quilvane"
    SpellingFolder = 4,    // public data + "Spellcheck\"
};

// The name of the time stamp file written into the hidden data folder.
constexpr char kInstallStampName[] = "install_stamp";

// What an installation is made for: the destination folder and the chosen
// components. The wizard holds one; an unattended run and the tests make
// their own.
class InstallTarget {
public:
    std::string MainDir;                   // the destination folder text
    std::uint8_t SelectedComponents = 0;   // bit n set: component n chosen
    double InstallStamp = 0.0;             // when the plan was made (normal installs)

    // The destination lies on a portable drive: asked afresh every time
    // until DecidePortable, and the answer then given for the rest of the
    // run (a drive pulled out half way does not turn the installation into
    // a normal one).
    bool IsPortableInstall() const;
    void DecidePortable();
    std::string InMainDir(const std::string& name) const;
    // The folder of a kind, with a trailing backslash; created, with its
    // parents, when missing.
    std::string GetInstallFolder(int kind) const;
    // Fills the catalogue's six groups (and its shared-file list) for this
    // target, in the order the copies are to be made.
    void BuildInstallPlan(TAttachedFiles& catalogue);

    bool IsSelected(int component) const { return (SelectedComponents >> component) & 1; }

private:
    std::string FolderOfKind(int kind, bool portable) const;

    bool portableDecided_ = false;
    bool portable_ = false;
};

// The current local date and time as a date-time value.
double NowAsDateTime();

}  // namespace qwp
