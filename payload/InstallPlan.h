// The install plan: which payload entry is written where, for the chosen
// components and the destination folder.
#pragma once

#include "payload/AttachFiles.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qwp {

// Display names and size patterns of the six components, by number. A size
// pattern is one text, its lines separated by CR; a line ending in a
// backslash is a folder prefix.
extern const char* const ComponentNames[kComponentCount];
extern const char* const ComponentSizePatterns[kComponentCount];

// What the plan does with a file that already exists at the destination.
enum OverwritePolicy {
    KeepExisting = 0,    // keep it: the entry is not planned
    ReplaceChanged = 1,  // keep it when its last-write time equals the entry's
    AlwaysReplace = 2,   // replace it, without looking
};

// How AddToPlan takes its folder argument.
enum class PlanDestination {
    InFolder,  // the folder the entry's own name goes below
    Exact,     // the whole destination path of the file (a copy under another name)
};

// One planned copy of an entry.
class TFileToInstall {
public:
    const TAttachedFile* Entry = nullptr;  // not owned
    std::string Destination;
    bool Logged = false;
};

// The plan of one installation: six copy groups, one per component, in the
// order the copies are to be made, and the shared files it writes, for the
// update log. Made from a catalogue that must outlive it.
class TInstallPlan {
public:
    explicit TInstallPlan(const TAttachedFiles& catalogue);
    TInstallPlan(const TInstallPlan&) = delete;
    TInstallPlan& operator=(const TInstallPlan&) = delete;

    std::array<std::vector<std::unique_ptr<TFileToInstall>>, kComponentCount> Groups;
    std::vector<std::string> SharedUpdateList;
    bool ForceReplace = false;
    // The install_stamp file the plan could not write, by path; empty when
    // it was written, or when none is written (a portable installation).
    std::string UnwrittenStamp;

    // Plans the entry named by the pattern, or every entry under the folder
    // prefix that a pattern ending in a backslash is, into the group. True
    // when at least one copy was planned. Names compare ignoring case.
    bool AddToPlan(const std::string& pattern, const std::string& folder, int group, OverwritePolicy policy,
                   PlanDestination destination = PlanDestination::InFolder);
    // Frees the planned copies of one group and empties it.
    void ClearGroup(int index);
    // Empties every group, forgets an unwritten stamp, and asks the shell
    // once for the shared folder that the following AddToPlan calls list
    // copies below.
    void Begin();

    std::int64_t PlannedBytes() const;
    const TAttachedFiles& Catalogue() const { return catalogue_; }

private:
    struct PlanCall {
        std::string folder;
        bool exact;  // folder is the whole destination path
        int group;
        OverwritePolicy given;      // decides the shared-list mark
        OverwritePolicy effective;  // decides whether an existing file is kept
        const std::string& sharedPrefix;  // copies below it are listed for the update log
    };
    bool PlanFile(const TAttachedFile* entry, const PlanCall& call);

    const TAttachedFiles& catalogue_;
    // The shared Public folder, asked once per plan (Begin) rather than for
    // every AddToPlan call: the shell's answer takes longer than planning a
    // file.
    std::string sharedPrefix_;
};

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
    // Fills the plan's six groups (and its shared-file list) for this
    // target, in the order the copies are to be made. A normal installation
    // also takes its InstallStamp now and writes it to the hidden data
    // folder's install_stamp (the plan's UnwrittenStamp when that failed).
    void BuildInstallPlan(TInstallPlan& plan);

    bool IsSelected(int component) const { return (SelectedComponents >> component) & 1; }

private:
    std::string FolderOfKind(int kind, bool portable) const;

    bool portableDecided_ = false;
    bool portable_ = false;
};

// Every file a whole installation (all six components) writes below its
// destination folder, relative to it, as BuildInstallPlan places them:
// the word processor's files and the hyphenation module in a normal
// installation, where the rest goes into the shared data folders; every
// component in a portable one, the spelling files in "Spellcheck\".
std::vector<std::string> PlannedNamesBelowMainDir(const TAttachedFiles& catalogue, bool portable);

// The current local date and time as a date-time value.
double NowAsDateTime();

}  // namespace qwp
