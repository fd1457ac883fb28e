#include "registration/Registry.h"

#include "instutils/RunLog.h"

#include <algorithm>
#include <limits>

namespace qwp {

namespace {

// Registry functions take the size of a value as a DWORD.
bool FitsInDword(std::string::size_type size) {
    return size <= std::numeric_limits<DWORD>::max();
}

const char* RootName(HKEY root) {
    if (root == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
    if (root == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
    if (root == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
    if (root == HKEY_USERS) return "HKEY_USERS";
    return "(root)";
}

// A 32-bit program on 64-bit Windows sees the machine's software key
// through the registry's 32-bit view (below WOW6432Node).
bool InThirtyTwoBitView(HKEY root) {
#ifdef _WIN64
    (void)root;
    return false;
#else
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    if (root != HKEY_LOCAL_MACHINE) return false;
    auto isWow64 = reinterpret_cast<IsWow64ProcessFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
#endif
}

// One line of the run's diagnostic log per value written.
void LogValueWritten(HKEY root, const std::string& path, const std::string& name, const std::string& data,
                     bool written) {
    if (!RunLogActive()) return;
    RunLogLine("Registry", std::string(RootName(root)) + "\\" + path + " \"" + name + "\" = " + data +
                               (InThirtyTwoBitView(root) ? " (32-bit view)" : "") + (written ? "" : " (not written)"));
}

}  // namespace

TRegistry::TRegistry() : root_(HKEY_CURRENT_USER) {}

void TRegistry::SetRootKey(HKEY root) {
    if (root == root_) return;
    CloseKey();
    root_ = root;
}

bool TRegistry::OpenKey(const std::string& path) { return Open(path, true); }

bool TRegistry::OpenKeyReadOnly(const std::string& path) { return Open(path, false); }

bool TRegistry::Open(const std::string& path, bool create) {
    const bool fromRoot = !path.empty() && path[0] == '\\';
    const std::string subKey = fromRoot ? path.substr(1) : path;
    const bool relative = !fromRoot && key_.valid();
    const HKEY parent = relative ? key_.get() : root_;

    HKEY opened = nullptr;
    const LSTATUS status = create ? RegCreateKeyExA(parent, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                    KEY_ALL_ACCESS, nullptr, &opened, nullptr)
                                  : RegOpenKeyExA(parent, subKey.c_str(), 0, KEY_READ, &opened);
    if (status != ERROR_SUCCESS) {
        CloseKey();
        return false;
    }
    std::string newPath = subKey;
    if (relative && !path_.empty()) newPath = subKey.empty() ? path_ : path_ + '\\' + subKey;
    key_.reset(opened);
    path_ = std::move(newPath);
    return true;
}

void TRegistry::CloseKey() {
    key_.reset();
    path_.clear();
}

bool TRegistry::ValueExists(const std::string& name) const {
    if (!key_) return false;
    return RegQueryValueExA(key_.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::optional<std::string> TRegistry::ReadString(const std::string& name) const {
    if (!key_) return std::nullopt;
    // The value can change between the size query and the read; a read that
    // finds it grown asks again.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        if (type != REG_SZ) return std::nullopt;
        if (size == 0) return std::string();
        // One byte more than the data, always NUL: data stored without its
        // terminating NUL still ends inside the buffer. RegQueryValueExA
        // may add a NUL of its own to such data when there is room.
        std::string text(static_cast<std::string::size_type>(size) + 1, '\0');
        DWORD readSize = size;
        const LSTATUS status = RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type,
                                                reinterpret_cast<BYTE*>(&text[0]), &readSize);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
        text.resize(std::min<std::string::size_type>(readSize, size));
        const std::string::size_type nul = text.find('\0');
        if (nul != std::string::npos) text.resize(nul);
        return text;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> TRegistry::ReadInteger(const std::string& name) const {
    if (!key_) return std::nullopt;
    DWORD type = 0, value = 0, size = sizeof value;
    if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    if (type != REG_DWORD || size != sizeof value) return std::nullopt;
    return value;
}

std::optional<bool> TRegistry::ReadBool(const std::string& name) const {
    const std::optional<std::uint32_t> value = ReadInteger(name);
    if (!value) return std::nullopt;
    return *value != 0;
}

bool TRegistry::WriteString(const std::string& name, const std::string& value) {
    if (!key_) return false;
    const char* text = value.c_str();
    const std::string::size_type length = std::char_traits<char>::length(text);
    if (!FitsInDword(length + 1)) return false;
    const bool written = RegSetValueExA(key_.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                        static_cast<DWORD>(length + 1)) == ERROR_SUCCESS;
    LogValueWritten(root_, path_, name, "\"" + std::string(text, length) + "\"", written);
    return written;
}

bool TRegistry::WriteInteger(const std::string& name, std::uint32_t value) {
    if (!key_) return false;
    // DWORD is little-endian on every Windows target.
    const DWORD data = value;
    const bool written = RegSetValueExA(key_.get(), name.c_str(), 0, REG_DWORD,
                                        reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
    LogValueWritten(root_, path_, name, "dword " + std::to_string(data), written);
    return written;
}

bool TRegistry::WriteBool(const std::string& name, bool value) {
    return WriteInteger(name, value ? 1 : 0);
}

}  // namespace qwp
