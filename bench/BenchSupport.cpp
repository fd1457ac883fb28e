#include "bench/BenchSupport.h"

#include "instutils/Files.h"
#include "instutils/Handles.h"
#include "instutils/PathText.h"
#include "instutils/Paths.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>

namespace qwp::bench {

double Seconds() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Minimum(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

double MedianRatio(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (b[i] > 0) ratios.push_back(a[i] / b[i]);
    return Median(ratios);
}

std::vector<std::uint8_t> PayloadOf(const std::string& programPath) {
    // As a data file: mapped for its resources, nothing of it runs.
    UniqueModule module(LoadLibraryExA(programPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) return {};
    HRSRC info = FindResourceA(module.get(), "FILES", "FILES");
    HGLOBAL loaded = info ? LoadResource(module.get(), info) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return {};
    const auto* first = static_cast<const std::uint8_t*>(bytes);
    return std::vector<std::uint8_t>(first, first + SizeofResource(module.get(), info));
}

std::string OwnFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::uint64_t FileBytes(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string FreshTempFolder(const char* name) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + name + "\\";
    DeleteFolderTree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void MakeFolderOf(const std::string& filePath) {
    const std::size_t end = filePath.find_last_of('\\');
    if (end == std::string::npos) return;
    // Outermost first; the drive ("C:") and existing levels simply fail.
    for (std::size_t slash = filePath.find('\\'); slash != std::string::npos && slash <= end;
         slash = filePath.find('\\', slash + 1))
        CreateDirectoryA(filePath.substr(0, slash).c_str(), nullptr);
}

void RemoveInstalled(const std::string& mainDir) {
    DeleteFolderTree(mainDir);
    DeleteFolderTree(JoinPath(GetSpecialFolder(CSIDL_COMMON_APPDATA), "Quilvane\\"));
}

void PrintResult(const std::string& product, const char* key, double value) {
    std::printf("result: %s %s %.6g\n", product.c_str(), key, value);
}

void PrintResult(const std::string& product, const char* key, double value, double limit) {
    std::printf("result: %s %s %.6g %.6g\n", product.c_str(), key, value, limit);
}

void PrintPairResults(const std::string& product, const std::string& name, const std::vector<double>& measured,
                      const std::vector<double>& floor, double limit) {
    PrintResult(product, (name + "_ms").c_str(), Median(measured));
    PrintResult(product, (name + "_floor_ms").c_str(), Median(floor));
    const double ratio = MedianRatio(measured, floor);
    if (limit > 0)
        PrintResult(product, (name + "_ratio").c_str(), ratio, limit);
    else
        PrintResult(product, (name + "_ratio").c_str(), ratio);
    PrintResult(product, (name + "_ratio_min").c_str(), Minimum(measured) / Minimum(floor));
}

}  // namespace qwp::bench
