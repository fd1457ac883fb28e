// Who may change the folder the program goes into. The setup runs with
// administrator rights and later starts what it wrote: a folder that other
// accounts can write to would let them swap the program, or plant a library
// beside it, before that start.
#pragma once

#include <windows.h>

#include <string>

namespace qwp {

// The permissions a folder gets when it is created.
enum class FolderAccess {
    // Those of its parent, as the system hands them down.
    Inherited,
    // Those of Program Files, and nothing inherited from the parent:
    // Administrators and the system account have full control, Users may
    // read and run; every file and folder below inherits them.
    AdministratorsOnly,
};

// The security descriptor, in the system's text form, that AdministratorsOnly
// gives a folder.
extern const char kAdministratorsOnlySddl[];

// Memory the system handed out with LocalAlloc, freed with LocalFree.
class LocalMemory {
public:
    LocalMemory() = default;
    ~LocalMemory() {
        if (memory_) LocalFree(memory_);
    }
    LocalMemory(const LocalMemory&) = delete;
    LocalMemory& operator=(const LocalMemory&) = delete;
    void** put() { return &memory_; }
    void* get() const { return memory_; }

private:
    void* memory_ = nullptr;
};

// Creates folders with the permissions of one kind. The permissions are set
// by the creation itself, so there is no moment in which the folder has
// others.
class FolderCreation {
public:
    explicit FolderCreation(FolderAccess access);
    FolderCreation(const FolderCreation&) = delete;
    FolderCreation& operator=(const FolderCreation&) = delete;

    // CreateDirectoryA with the permissions; false as it gives. Where the
    // system could not make the descriptor (out of memory), the folder is
    // not created at all rather than created open.
    bool Create(const std::string& folder) const;

private:
    FolderAccess access_;
    LocalMemory descriptor_;
    SECURITY_ATTRIBUTES attributes_{};
};

// Whether accounts other than the Administrators group, the system account
// and the installer service can add, change or delete something in a
// folder, or change its permissions: an access entry allows any of those
// rights to anybody else (Users, Everyone, a user's own account), for the
// folder itself or for what is made in it. Entries for whoever creates
// something in the folder do not count: only those who may create there get
// them. A folder without a list of permissions lets everybody in.
enum class FolderOpenness {
    Closed,
    OpenToOthers,
    Unknown,  // the permissions could not be read
};
FolderOpenness OpennessOf(const std::string& folder);
// The same for a list of permissions (null: none, everybody in).
FolderOpenness OpennessOfAccessList(const ACL* dacl);

// The folder itself when it exists, else the nearest folder above it that
// does; empty when not even the drive exists.
std::string NearestExistingFolder(const std::string& folder);

// The permissions for folders made on the way to the folder: those handed
// down (Inherited) when the nearest existing folder above is closed to
// others, as Program Files is; AdministratorsOnly otherwise (below a drive's
// root, which lets every user make folders and change what is in them, or in
// a user's own folder).
FolderAccess AccessForNewFolders(const std::string& folder);

}  // namespace qwp
