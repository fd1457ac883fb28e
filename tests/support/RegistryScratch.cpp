#include "tests/support/RegistryScratch.h"

#include <cstring>
#include <vector>

namespace qwp::test {

namespace {

// Below the real HKEY_CURRENT_USER; one key per process, so test programs
// running side by side never meet.
const char kScratchParent[] = "Software\\Quilvane Setup Tests";

std::string ScratchPath() {
    return std::string(kScratchParent) + "\\Scratch " + std::to_string(GetCurrentProcessId());
}

void DeleteTree(HKEY root, const std::string& path) {
    RegDeleteTreeA(root, path.c_str());
}

HKEY OpenForRead(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

}  // namespace

RegistryScratch::RegistryScratch() : path_(ScratchPath()) {
    DeleteTree(HKEY_CURRENT_USER, path_);
    HKEY scratch = nullptr;
    LSTATUS status = RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_ALL_ACCESS, nullptr, &scratch, nullptr);
    if (status != ERROR_SUCCESS) {
        ADD_FAILURE() << "RegCreateKeyExA(HKCU\\" << path_ << ") failed: " << status;
        return;
    }
    status = RegOverridePredefKey(HKEY_CURRENT_USER, scratch);
    if (status != ERROR_SUCCESS) {
        ADD_FAILURE() << "RegOverridePredefKey(HKEY_CURRENT_USER) failed: " << status;
        RegCloseKey(scratch);
        DeleteTree(HKEY_CURRENT_USER, path_);
        return;
    }
    scratch_ = scratch;
}

RegistryScratch::~RegistryScratch() {
    if (!scratch_) return;
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(scratch_);
    DeleteTree(HKEY_CURRENT_USER, path_);
    // The parent goes too when no other test program uses it; RegDeleteKeyA
    // refuses a key that still has children.
    RegDeleteKeyA(HKEY_CURRENT_USER, kScratchParent);
}

bool KeyExists(const std::string& path) {
    const HKEY key = OpenForRead(path);
    if (key) RegCloseKey(key);
    return key != nullptr;
}

std::optional<RawValue> ReadRawValue(const std::string& path, const std::string& name) {
    const HKEY key = OpenForRead(path);
    if (!key) return std::nullopt;
    RawValue value;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExA(key, name.c_str(), nullptr, &value.type, nullptr, &size);
    if (status == ERROR_SUCCESS && size > 0) {
        std::vector<BYTE> data(size);
        status = RegQueryValueExA(key, name.c_str(), nullptr, &value.type, data.data(), &size);
        value.data.assign(reinterpret_cast<const char*>(data.data()), size);
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return std::nullopt;
    return value;
}

std::optional<std::string> ReadSzValue(const std::string& path, const std::string& name) {
    std::optional<RawValue> value = ReadRawValue(path, name);
    if (!value || value->type != REG_SZ) return std::nullopt;
    if (!value->data.empty() && value->data.back() == '\0') value->data.pop_back();
    return value->data;
}

std::optional<DWORD> ReadDwordValue(const std::string& path, const std::string& name) {
    const std::optional<RawValue> value = ReadRawValue(path, name);
    if (!value || value->type != REG_DWORD || value->data.size() != sizeof(DWORD)) return std::nullopt;
    DWORD number = 0;
    std::memcpy(&number, value->data.data(), sizeof number);
    return number;
}

bool WriteRawValue(const std::string& path, const std::string& name, DWORD type, const std::string& data) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LSTATUS status = RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                          static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool WriteSzValue(const std::string& path, const std::string& name, const std::string& text) {
    return WriteRawValue(path, name, REG_SZ, std::string(text.c_str(), text.size() + 1));
}

bool WriteDwordValue(const std::string& path, const std::string& name, DWORD value) {
    return WriteRawValue(path, name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value));
}

bool MakeVolatileKey(const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

}  // namespace qwp::test
