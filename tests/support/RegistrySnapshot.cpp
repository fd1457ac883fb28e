#include "tests/support/RegistrySnapshot.h"

#include "instutils/Handles.h"

#include <cstdio>
#include <vector>

namespace qwp::test {

namespace {

std::string ShownData(DWORD type, const BYTE* data, DWORD size) {
    if (type == REG_SZ || type == REG_EXPAND_SZ) return std::string(reinterpret_cast<const char*>(data), size);
    std::string shown;
    char hex[4];
    for (DWORD i = 0; i < size; ++i) {
        std::snprintf(hex, sizeof hex, "%02X", data[i]);
        shown += hex;
    }
    return shown;
}

void SnapshotKey(HKEY key, const std::string& path, std::string& out) {
    out += path + "\n";
    char name[16384];
    std::vector<BYTE> data(65536);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = sizeof name, type = 0, size = static_cast<DWORD>(data.size());
        if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            break;
        out += path + ": " + name + " = " + std::to_string(type) + ":" + ShownData(type, data.data(), size) + "\n";
    }
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = sizeof name;
        if (RegEnumKeyExA(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY raw = nullptr;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &raw) != ERROR_SUCCESS) {
            out += path + "\\" + name + " (cannot be opened)\n";
            continue;
        }
        UniqueRegKey sub(raw);
        SnapshotKey(sub.get(), path + "\\" + name, out);
    }
}

}  // namespace

std::string RegistrySnapshot(HKEY root, const std::string& path, REGSAM view) {
    HKEY raw = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &raw) != ERROR_SUCCESS) return "(absent)\n";
    UniqueRegKey key(raw);
    std::string out;
    SnapshotKey(key.get(), path, out);
    return out;
}

std::string UninstallSnapshot() {
    const char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    return "32-bit view:\n" + RegistrySnapshot(HKEY_LOCAL_MACHINE, kUninstall, KEY_WOW64_32KEY) +
           "64-bit view:\n" + RegistrySnapshot(HKEY_LOCAL_MACHINE, kUninstall, KEY_WOW64_64KEY);
}

}  // namespace qwp::test
