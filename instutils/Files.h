// Writing small files, creating folders with their parents, and deleting
// folder trees.
#pragma once

#include <string>

namespace qwp {

// True when a file (not a folder) of that name exists.
bool FileExists(const std::string& path);

// Creates the file or replaces its whole content with exactly these bytes.
// The folder must exist; nothing is logged; failures are silent.
void WriteBytesToFile(const std::string& path, const std::string& bytes);

// Creates the folder and every missing parent, outermost first, logging a
// "Made Dir: " line with each path exactly as tried (whether or not the
// creation worked). An existing folder, and the empty path, are left alone
// and not logged.
void ForceFolders(const std::string& path);

// Deletes everything below the folder, depth first, then the folder itself.
// Junctions and symbolic links are removed as links and never entered, so
// nothing outside the tree is touched, even when the folder named is itself
// a link. Failures are silent: a read-only file stays, and so does its
// folder.
void DeleteFolderTree(const std::string& folder);

// Removes one directory entry found in a listing: a link as the link itself,
// a folder with its tree, anything else as a file.
void RemoveListedEntry(const std::string& path, unsigned long attributes);

}  // namespace qwp
