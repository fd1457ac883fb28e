#include "instutils/FolderSecurity.h"

#include "instutils/PathText.h"
#include "instutils/Paths.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <cstring>
#include <utility>

namespace qwp {

// Protected ("P"): nothing comes down from the parent. Each entry applies to
// the folder and is handed down to files ("OI") and folders ("CI") below.
// 0x1200a9 is read and execute: FILE_GENERIC_READ | FILE_GENERIC_EXECUTE.
const char kAdministratorsOnlySddl[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

namespace {

// The rights that change what a folder holds or who may: adding files and
// folders (FILE_WRITE_DATA and FILE_APPEND_DATA on a file), deleting what is
// in it, deleting or renaming it, and rewriting its permissions or owner.
constexpr ACCESS_MASK kChangingRights = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD | DELETE |
                                        WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) { return IsWellKnownSid(sid, type) != FALSE; }

// The installer service's account, NT SERVICE\TrustedInstaller, which owns
// the system's own folders.
bool IsInstallerService(PSID sid) {
    static const DWORD kSubAuthorities[] = {80, 956008885, 3418522649, 1831038044, 1853292631, 2271478464};
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    if (!IsValidSid(sid) || *GetSidSubAuthorityCount(sid) != 6) return false;
    if (std::memcmp(GetSidIdentifierAuthority(sid), &nt, sizeof nt) != 0) return false;
    for (DWORD i = 0; i < 6; ++i)
        if (*GetSidSubAuthority(sid, i) != kSubAuthorities[i]) return false;
    return true;
}

// Accounts whose rights do not make the folder writable by others.
bool IsTrusted(PSID sid) {
    return IsWellKnown(sid, WinBuiltinAdministratorsSid) || IsWellKnown(sid, WinLocalSystemSid) ||
           IsWellKnown(sid, WinCreatorOwnerSid) || IsWellKnown(sid, WinCreatorGroupSid) || IsInstallerService(sid);
}

}  // namespace

FolderCreation::FolderCreation(FolderAccess access) : access_(access) {
    if (access == FolderAccess::Inherited) return;
    PSECURITY_DESCRIPTOR made = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kAdministratorsOnlySddl, SDDL_REVISION_1, &made,
                                                              nullptr))
        return;
    *descriptor_.put() = made;
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = made;
    attributes_.bInheritHandle = FALSE;
}

bool FolderCreation::Create(const std::string& folder) const {
    if (access_ == FolderAccess::Inherited) return CreateDirectoryA(folder.c_str(), nullptr) != FALSE;
    if (!descriptor_.get()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    // CreateDirectoryA takes the attributes as not const.
    SECURITY_ATTRIBUTES attributes = attributes_;
    return CreateDirectoryA(folder.c_str(), &attributes) != FALSE;
}

FolderOpenness OpennessOf(const std::string& folder) {
    PACL dacl = nullptr;
    LocalMemory descriptor;
    if (GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                              nullptr, reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.put())) != ERROR_SUCCESS)
        return FolderOpenness::Unknown;
    return OpennessOfAccessList(dacl);
}

FolderOpenness OpennessOfAccessList(const ACL* dacl) {
    if (!dacl) return FolderOpenness::OpenToOthers;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* entry = nullptr;
        if (!GetAce(const_cast<ACL*>(dacl), i, &entry)) continue;
        const auto* header = static_cast<const ACE_HEADER*>(entry);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
        if ((allowed->Mask & kChangingRights) == 0) continue;
        // An entry that is only handed down, to nothing, grants nothing.
        if ((header->AceFlags & INHERIT_ONLY_ACE) &&
            !(header->AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE)))
            continue;
        if (!IsTrusted(&allowed->SidStart)) return FolderOpenness::OpenToOthers;
    }
    return FolderOpenness::Closed;
}

std::string NearestExistingFolder(const std::string& folder) {
    std::string candidate = folder;
    while (!candidate.empty() && !FolderExists(candidate)) {
        std::string trimmed = candidate;
        if (LastChar(trimmed) == '\\') DeleteLastChar(trimmed);
        std::string parent = FolderPart(trimmed);
        // A drive such as "X:" is its own parent.
        if (parent.size() >= candidate.size()) return {};
        candidate = std::move(parent);
    }
    return candidate;
}

FolderAccess AccessForNewFolders(const std::string& folder) {
    const std::string above = NearestExistingFolder(folder);
    return !above.empty() && OpennessOf(above) == FolderOpenness::Closed ? FolderAccess::Inherited
                                                                         : FolderAccess::AdministratorsOnly;
}

}  // namespace qwp
