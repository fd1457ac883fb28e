// Folder permissions in tests: a descriptor made from its text form, and a
// folder's permissions as the system reads them back, entry by entry.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace qwp::test {

// A security descriptor made from its text form ("D:P(A;OICI;FA;;;BA)...").
class Descriptor {
public:
    explicit Descriptor(const std::string& sddl);
    ~Descriptor();
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    bool Valid() const { return descriptor_ != nullptr; }
    PSECURITY_DESCRIPTOR get() const { return descriptor_; }
    // Its list of permissions; null when it has none.
    const ACL* AccessList() const;

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
};

struct Permissions {
    bool readable = false;
    bool protectedFromParent = false;  // nothing inherited
    // The access entries as the text form has them, e.g. "(A;OICI;FA;;;BA)",
    // in the order stored.
    std::vector<std::string> entries;
};

// The permissions of a descriptor.
Permissions PermissionsIn(PSECURITY_DESCRIPTOR descriptor);
// The folder's permissions as the system reads them back.
Permissions PermissionsOf(const std::string& folder);

}  // namespace qwp::test
