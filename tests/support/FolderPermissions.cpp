#include "tests/support/FolderPermissions.h"

#include <aclapi.h>
#include <sddl.h>

namespace qwp::test {

namespace {

// The access entries of a text form "D:P(...)(...)": every "(...)".
std::vector<std::string> EntriesOf(const std::string& sddl) {
    std::vector<std::string> entries;
    for (std::size_t open = sddl.find('('); open != std::string::npos; open = sddl.find('(', open + 1)) {
        const std::size_t close = sddl.find(')', open);
        if (close == std::string::npos) break;
        entries.push_back(sddl.substr(open, close - open + 1));
    }
    return entries;
}

}  // namespace

Descriptor::Descriptor(const std::string& sddl) {
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor_, nullptr))
        descriptor_ = nullptr;
}

Descriptor::~Descriptor() {
    if (descriptor_) LocalFree(descriptor_);
}

const ACL* Descriptor::AccessList() const {
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (!descriptor_ || !GetSecurityDescriptorDacl(descriptor_, &present, &dacl, &defaulted) || !present)
        return nullptr;
    return dacl;
}

Permissions PermissionsIn(PSECURITY_DESCRIPTOR descriptor) {
    Permissions permissions;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    LPSTR text = nullptr;
    if (descriptor && GetSecurityDescriptorControl(descriptor, &control, &revision) &&
        ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                             &text, nullptr)) {
        permissions.readable = true;
        permissions.protectedFromParent = (control & SE_DACL_PROTECTED) != 0;
        permissions.entries = EntriesOf(text);
        LocalFree(text);
    }
    return permissions;
}

Permissions PermissionsOf(const std::string& folder) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PACL dacl = nullptr;
    if (GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                              nullptr, &descriptor) != ERROR_SUCCESS)
        return {};
    Permissions permissions = PermissionsIn(descriptor);
    LocalFree(descriptor);
    return permissions;
}

}  // namespace qwp::test
