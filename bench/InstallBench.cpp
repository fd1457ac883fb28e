// Measures the install run against the floor of plain file writing, side by
// side in one process, and the time to build the catalogue.
//
// Each round installs the full payload with the engine into fresh folders,
// then writes the very same files to the same places with nothing but
// CreateFile/WriteFile/SetFileTime. The folders are removed between rounds,
// outside the timed parts.
#include "instutils/DateTime.h"
#include "instutils/Handles.h"
#include "instutils/InstUtils.h"
#include "instutils/ProcessStart.h"
#include "instutils/SystemLibrary.h"
#include "payload/AttachFiles.h"
#include "payload/InstallRun.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace qwp;

constexpr int kRounds = 9;

double Seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct PlannedWrite {
    const TAttachedFile* entry;
    std::string destination;
};

std::vector<PlannedWrite> PlanOf(const TAttachedFiles& catalogue) {
    std::vector<PlannedWrite> writes;
    for (const auto& group : catalogue.Groups)
        for (const auto& copy : group) writes.push_back({copy->Entry, copy->Destination});
    return writes;
}

// The floor: folders made once each, then one open, one write and one time
// stamp per file.
void PlainWrite(const TAttachedFiles& catalogue, const std::vector<PlannedWrite>& writes) {
    std::set<std::string> made;
    for (const PlannedWrite& w : writes) {
        const std::string folder = w.destination.substr(0, w.destination.find_last_of('\\') + 1);
        if (made.insert(folder).second) SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
        UniqueFile file(CreateFileA(w.destination.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (w.entry->Size) WriteFile(file.get(), catalogue.Data.data() + w.entry->Offset, w.entry->Size, &written, nullptr);
        const DosDateTime dos = DateTimeToDos(w.entry->Date);
        FILETIME local, utc;
        DosDateTimeToFileTime(dos.date, dos.time, &local);
        LocalFileTimeToFileTime(&local, &utc);
        SetFileTime(file.get(), nullptr, nullptr, &utc);
    }
}

std::string FreshFolder(const char* name) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + name + "\\";
    DeleteFolderTree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void RemoveInstalled(const std::string& mainDir) {
    DeleteFolderTree(mainDir);
    DeleteFolderTree(JoinPath(GetSpecialFolder(CSIDL_COMMON_APPDATA), "Quilvane\\"));
}

}  // namespace

int main() {
    RestrictDllSearchToSystem();
    ProcessStart start;

    std::vector<double> catalogueTimes;
    for (int i = 0; i < kRounds; ++i) {
        const double t0 = Seconds();
        TAttachedFiles catalogue;
        catalogueTimes.push_back(Seconds() - t0);
    }
    TAttachedFiles catalogue;
    std::printf("payload: %zu entries, %d bytes inflated\n", catalogue.Entries.size(), catalogue.DataSize);

    const std::string mainDir = FreshFolder("qwp-bench");
    InstallTarget target;
    target.MainDir = mainDir;
    target.SelectedComponents = 0x3F;
    auto freshDestination = [&] {
        RemoveInstalled(mainDir);
        CreateDirectoryA(mainDir.c_str(), nullptr);
        catalogue.SharedUpdateList.clear();
        CloseInstallLog();
    };

    // The plan alone, and the list of writes the floor makes.
    std::vector<double> engine, plain, planning;
    freshDestination();
    target.BuildInstallPlan(catalogue);
    const std::vector<PlannedWrite> writes = PlanOf(catalogue);

    auto timeEngine = [&] {
        freshDestination();
        double t0 = Seconds();
        target.BuildInstallPlan(catalogue);
        planning.push_back(Seconds() - t0);
        freshDestination();
        t0 = Seconds();
        const InstallResult result = RunInstall(catalogue, target);
        engine.push_back(Seconds() - t0);
        return result == InstallResult::Completed;
    };
    auto timePlain = [&] {
        freshDestination();
        const double t0 = Seconds();
        PlainWrite(catalogue, writes);
        plain.push_back(Seconds() - t0);
    };

    // Alternating which goes first keeps a slow spell of the machine from
    // falling on one side only.
    for (int round = 0; round < kRounds; ++round) {
        bool completed;
        if (round % 2 == 0) {
            completed = timeEngine();
            timePlain();
        } else {
            timePlain();
            completed = timeEngine();
        }
        if (!completed) {
            std::printf("the install run did not complete\n");
            return 1;
        }
        std::printf("round %d: install run %.1f ms, plain writes %.1f ms (%zu files)\n", round + 1,
                    engine.back() * 1000, plain.back() * 1000, writes.size());
    }
    freshDestination();

    const double p0 = Seconds();
    for (int i = 0; i < 20; ++i) IsPortableLocation(mainDir);
    const double portableTest = (Seconds() - p0) / 20;

    std::printf("catalogue build (median of %d): %.2f ms\n", kRounds, Median(catalogueTimes) * 1000);
    std::printf("portable-drive test: %.2f ms a call\n", portableTest * 1000);
    std::printf("planning alone median: %.1f ms\n", Median(planning) * 1000);
    std::printf("install run median: %.1f ms\n", Median(engine) * 1000);
    std::printf("plain-write floor median: %.1f ms\n", Median(plain) * 1000);
    std::printf("install run / plain-write floor: %.2f\n", Median(engine) / Median(plain));
    return 0;
}
