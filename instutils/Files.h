// Writing small files, creating folders with their parents, and deleting
// folder trees.
#pragma once

#include "instutils/FolderSecurity.h"

#include <functional>
#include <string>
#include <vector>
#include <vector>

namespace qwp {

// True when a file (not a folder) of that name exists.
bool FileExists(const std::string& path);

// Creates the file or replaces its whole content with exactly these bytes.
// The folder must exist; nothing is logged. False when the file could not
// be opened for writing (a folder of that name, a missing folder, no
// access) or not every byte went in.
bool WriteBytesToFile(const std::string& path, const std::string& bytes);

// Creates the folder and every missing parent, outermost first, each with
// the permissions of access, logging a "Made Dir: " line with each path
// exactly as tried (whether or not the creation worked). An existing folder,
// and the empty path, are left alone and not logged. Gives back how many
// folders it made.
int ForceFolders(const std::string& path, FolderAccess access = FolderAccess::Inherited);
// The folders ForceFolders would make for the path, outermost first, each
// as it would log it.
std::vector<std::string> MissingFolders(const std::string& path);

// ForceFolders for a series of copies that go folder by folder into folders
// nobody else makes or removes meanwhile (the install run's copies): a
// folder the series found or made is not asked about again, and one inside
// a folder the series made is known to be missing. The folders made and the
// "Made Dir: " lines are those ForceFolders gives. Forget() starts over,
// asking the system again, as after a write that failed.
class FolderSeries {
public:
    int Force(const std::string& path, FolderAccess access = FolderAccess::Inherited);
    void Forget();

private:
    bool Exists(const std::string& folder);

    std::vector<std::string> found_;  // folder texts with their trailing backslash
    std::vector<std::string> made_;
};

// Deletes everything below the folder, depth first, then the folder itself.
// Junctions and symbolic links are never entered: on Windows they are
// removed as links; where removing one by name would reach its target (Wine)
// it stays. Nothing outside the tree is touched, even when the folder named
// is itself a link. Failures are silent: a read-only file stays, and so does
// its folder.
void DeleteFolderTree(const std::string& folder);

// Removes the entries of a folder (a folder text, with its trailing
// backslash) whose names `wanted` accepts, every attribute admitted: a plain
// file, a plain folder with its tree, a link as the link itself; a name that
// leads elsewhere is left alone. Where an entry leads is compared with where
// the folder itself leads, so a folder that is a link (a temporary folder on
// a moved profile) is cleaned as the folder it stands for. "." and ".." are
// never offered.
void RemoveListedEntries(const std::string& folder, const std::function<bool(const std::string&)>& wanted);

}  // namespace qwp
