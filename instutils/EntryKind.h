// Telling, before removing a directory entry by name, whether the removal
// would act on that entry or reach through a link to something else.
//
// On Windows, DeleteFileA and RemoveDirectoryA act on a junction or symbolic
// link itself. Wine maps Windows links to Unix symbolic links and acts on
// their targets instead: DeleteFileA on a link to a file deletes the file it
// points to, and RemoveDirectoryA on a link to an empty folder removes that
// folder. Wine also marks only links to folders with
// FILE_ATTRIBUTE_REPARSE_POINT; a link to a file looks like a plain file.
// So the attribute alone is not enough, and each entry is opened without
// following a link and asked for its final path: when that is not the
// entry's own place in its folder, the name leads somewhere else.
#pragma once

#include <string>

namespace qwp {

enum class EntryKind {
    File,       // a plain file: DeleteFileA removes it
    Folder,     // a plain folder: may be entered and removed
    Link,       // a link that removing by name takes away, leaving its target
    Elsewhere,  // the name leads outside its folder, or cannot be checked
};

// How FinalPathOf treats a link at the end of the path.
enum class FinalLink { Kept, Followed };

// The normalised full path of what the name opens; empty when it cannot be
// determined. With FinalLink::Kept a final link is not followed where the
// system can open links themselves; with FinalLink::Followed it is, as for a
// folder that is itself a junction or link (a moved profile, a RAM disk),
// whose entries' final paths lie below its target.
std::string FinalPathOf(const std::string& path, FinalLink finalLink = FinalLink::Kept);

// Classifies the entry `name`, listed with `attributes` in the folder whose
// final path is `folderFinal` (from FinalPathOf). Where final paths cannot
// be had (before Vista, where only folder junctions exist and all carry the
// reparse attribute, and on volumes that do not answer the query) the
// attributes decide.
EntryKind ClassifyEntry(const std::string& folderFinal, const std::string& path, const std::string& name,
                        unsigned long attributes);

}  // namespace qwp
