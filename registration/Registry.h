// A small registry access class: one root key, at most one open key below
// it, values read and written on that key.
//
// No operation shows or throws anything. A key that cannot be opened leaves
// no current key; a read then finds no value and a write is lost. The
// functions that can fail also return whether they worked, for the callers
// that care.
#pragma once

#include "instutils/Handles.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace qwp {

class TRegistry {
public:
    // The root is HKEY_CURRENT_USER; no key is open.
    TRegistry();
    // Closes the current key.
    ~TRegistry() = default;
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return root_; }
    // A root that differs from the present one closes and forgets the
    // current key. Root keys are predefined handles and never closed here.
    void SetRootKey(HKEY root);

    // Opens the key, creating it when missing (KEY_ALL_ACCESS, non-volatile,
    // default security). A path that starts with a backslash loses it and is
    // taken from the root; any other path is taken from the current key when
    // one is open, else from the root. The opened key replaces the current
    // one. On failure there is no current key afterwards and false returns.
    bool OpenKey(const std::string& path);
    // The same without creating anything: an existing key, opened for
    // reading only (a write to it then fails).
    bool OpenKeyReadOnly(const std::string& path);
    void CloseKey();

    // The open key, or nullptr; and its path from the root, without a
    // leading backslash (empty when no key is open).
    HKEY CurrentKey() const { return key_.get(); }
    const std::string& CurrentPath() const { return path_; }

    // True when the current key holds a value of that name, of any type.
    bool ValueExists(const std::string& name) const;

    // The reads answer "absent" (nullopt) when there is no current key, no
    // such value, or the value has a type other than the one the matching
    // write stores: a text must be REG_SZ, an integer REG_DWORD of exactly 4
    // bytes. A stored value of another type thus counts as missing and the
    // caller's default applies.
    //
    // A text is cut at its first NUL; stored data without a terminating NUL
    // is taken whole. An empty REG_SZ value is present and empty.
    std::optional<std::string> ReadString(const std::string& name) const;
    std::optional<std::uint32_t> ReadInteger(const std::string& name) const;
    // An integer; true when not 0.
    std::optional<bool> ReadBool(const std::string& name) const;

    // REG_SZ: the characters and the terminating NUL. A text with an embedded
    // NUL is stored up to it.
    bool WriteString(const std::string& name, const std::string& value);
    // REG_DWORD, 4 bytes little-endian.
    bool WriteInteger(const std::string& name, std::uint32_t value);
    // Integer 1 for true, 0 for false.
    bool WriteBool(const std::string& name, bool value);

private:
    bool Open(const std::string& path, bool create);

    HKEY root_;
    UniqueRegKey key_;
    std::string path_;
};

}  // namespace qwp
