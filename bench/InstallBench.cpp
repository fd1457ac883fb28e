// Measures, side by side in one process, the two in-memory halves of an
// install against their floors:
//
//  - building the catalogue from the payload's zlib stream against zlib's
//    own one-shot uncompress of the same stream into a buffer of the known
//    inflated size;
//  - the install run against the floor of plain file writing. Each round
//    installs the full payload with the engine into fresh folders, then
//    writes the very same files to the same places with nothing but
//    CreateFile/WriteFile/SetFileTime. The folders are removed between
//    rounds, outside the timed parts.
//
// The payload is read from the setup program named on the command line, so
// the same program measures the shipped setup and a larger product.
//
//   install_bench.exe <product label> <setup.exe> [rounds]
#include "bench/BenchSupport.h"
#include "instutils/DateTime.h"
#include "instutils/Handles.h"
#include "instutils/InstUtils.h"
#include "instutils/ProcessStart.h"
#include "instutils/SystemLibrary.h"
#include "payload/AttachFiles.h"
#include "payload/Inflate.h"
#include "payload/InstallRun.h"

#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace qwp;
using namespace qwp::bench;

constexpr int kDefaultRounds = 9;

struct PlannedWrite {
    const TAttachedFile* entry;
    std::string destination;
};

std::vector<PlannedWrite> PlanOf(const TInstallPlan& plan) {
    std::vector<PlannedWrite> writes;
    for (const auto& group : plan.Groups)
        for (const auto& copy : group) writes.push_back({copy->Entry, copy->Destination});
    return writes;
}

// The floor: folders made once each, then one open, one write and one time
// stamp per file.
void PlainWrite(const TAttachedFiles& catalogue, const std::vector<PlannedWrite>& writes) {
    std::set<std::string> made;
    for (const PlannedWrite& w : writes) {
        const std::string folder = w.destination.substr(0, w.destination.find_last_of('\\') + 1);
        if (made.insert(folder).second) MakeFolderOf(w.destination);
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

// zlib alone: the whole stream into a buffer of the size it is known to
// inflate to, taken without being cleared first. Null when it fails or the
// size differs.
std::unique_ptr<Bytef[]> Uncompress(const std::vector<std::uint8_t>& payload, uLongf inflatedSize) {
    std::unique_ptr<Bytef[]> out(new Bytef[inflatedSize]);
    uLongf produced = inflatedSize;
    if (uncompress(out.get(), &produced, payload.data(), static_cast<uLong>(payload.size())) != Z_OK ||
        produced != inflatedSize)
        return nullptr;
    return out;
}

struct CatalogueTimes {
    std::vector<double> catalogue, uncompress;  // milliseconds
    std::vector<double> inflateAlone;            // the catalogue's inflation step without the split
    bool same = true;  // every uncompress gave the catalogue's bytes
};

// Rotating which goes first keeps a slow spell of the machine from falling
// on one side only. Each result is freed before the next is made. The
// catalogue's own inflation step is timed as well, to tell how much of the
// difference is the inflation and how much the split into entries.
CatalogueTimes TimeCatalogue(const std::vector<std::uint8_t>& payload, const TAttachedFiles& reference, int rounds) {
    CatalogueTimes times;
    const uLongf size = static_cast<uLongf>(reference.Data.size());
    auto timeCatalogue = [&] {
        const double t0 = Seconds();
        auto catalogue = std::make_unique<TAttachedFiles>(payload.data(), payload.size());
        times.catalogue.push_back((Seconds() - t0) * 1000);
    };
    auto timeUncompress = [&] {
        const double t0 = Seconds();
        std::unique_ptr<Bytef[]> out = Uncompress(payload, size);
        times.uncompress.push_back((Seconds() - t0) * 1000);
        times.same = times.same && out && std::memcmp(out.get(), reference.Data.data(), size) == 0;
    };
    auto timeInflate = [&] {
        const double t0 = Seconds();
        archive::InflateResult inflated = archive::InflatePayload(payload.data(), payload.size());
        times.inflateAlone.push_back((Seconds() - t0) * 1000);
        times.same = times.same && inflated.error == archive::InflateError::None;
    };
    const std::function<void()> steps[3] = {timeCatalogue, timeUncompress, timeInflate};
    for (int round = 0; round < rounds; ++round)
        for (int k = 0; k < 3; ++k) steps[(round + k) % 3]();
    return times;
}

// A small payload builds in about a millisecond, no longer than one hiccup
// of a busy machine: it gets as many rounds as fit in some two seconds, up
// to 101; a large one gets the rounds asked for.
int CatalogueRounds(const std::vector<std::uint8_t>& payload, int rounds) {
    const double t0 = Seconds();
    TAttachedFiles once(payload.data(), payload.size());
    const double seconds = Seconds() - t0;
    return std::max(rounds, std::min(101, static_cast<int>(2.0 / std::max(seconds, 1e-4))));
}

}  // namespace

int main(int argc, char** argv) {
    RestrictDllSearchToSystem();
    if (argc < 3) {
        std::printf("usage: install_bench <product label> <setup.exe> [rounds]\n");
        return 2;
    }
    const std::string product = argv[1];
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : kDefaultRounds;
    ProcessStart start;

    const std::vector<std::uint8_t> payload = PayloadOf(argv[2]);
    if (payload.empty()) {
        std::printf("%s: no payload resource in %s\n", product.c_str(), argv[2]);
        return 1;
    }
    TAttachedFiles catalogue(payload.data(), payload.size());
    std::printf("%s payload: %zu entries, %d bytes inflated, %zu compressed (%.2f to 1)\n", product.c_str(),
                catalogue.Entries.size(), catalogue.DataSize, payload.size(),
                static_cast<double>(catalogue.DataSize) / static_cast<double>(payload.size()));

    const CatalogueTimes build = TimeCatalogue(payload, catalogue, CatalogueRounds(payload, rounds));
    if (!build.same) {
        std::printf("%s: zlib's uncompress or the inflation alone did not give the catalogue's bytes\n",
                    product.c_str());
        return 1;
    }

    const std::string mainDir = FreshTempFolder("qwp-bench");
    InstallTarget target;
    target.MainDir = mainDir;
    target.SelectedComponents = 0x3F;
    TInstallPlan plan(catalogue);
    auto freshDestination = [&] {
        RemoveInstalled(mainDir);
        CreateDirectoryA(mainDir.c_str(), nullptr);
        plan.SharedUpdateList.clear();
        CloseInstallLog();
    };

    // The plan alone, and the list of writes the floor makes.
    std::vector<double> engine, plain, planning;
    freshDestination();
    target.BuildInstallPlan(plan);
    const std::vector<PlannedWrite> writes = PlanOf(plan);

    // Nobody answers: a copy that fails stops the run, as with "/S".
    struct SilentFrontEnd final : InstallFrontEnd {
        ProgressAnswer OnProgress(const InstallProgress&) override { return ProgressAnswer::Continue; }
        CopyAnswer OnCopyFailed(const std::string&, const std::string&) override { return CopyAnswer::Abort; }
        void OnFailure(const std::string&) override {}
    } silent;
    auto timeEngine = [&] {
        freshDestination();
        double t0 = Seconds();
        target.BuildInstallPlan(plan);
        planning.push_back((Seconds() - t0) * 1000);
        freshDestination();
        t0 = Seconds();
        const InstallResult result = RunInstall(plan, target, silent);
        engine.push_back((Seconds() - t0) * 1000);
        return result == InstallResult::Completed;
    };
    auto timePlain = [&] {
        freshDestination();
        const double t0 = Seconds();
        PlainWrite(catalogue, writes);
        plain.push_back((Seconds() - t0) * 1000);
    };

    for (int round = 0; round < rounds; ++round) {
        bool completed;
        if (round % 2 == 0) {
            completed = timeEngine();
            timePlain();
        } else {
            timePlain();
            completed = timeEngine();
        }
        if (!completed) {
            std::printf("%s: the install run did not complete\n", product.c_str());
            return 1;
        }
        std::printf("%s round %d: install run %.1f ms, plain writes %.1f ms (%zu files)\n", product.c_str(),
                    round + 1, engine.back(), plain.back(), writes.size());
    }
    freshDestination();
    DeleteFolderTree(mainDir);

    std::printf("%s catalogue build, median of %zu rounds: %.2f ms; zlib uncompress: %.2f ms; per-round ratio %.2f\n",
                product.c_str(), build.catalogue.size(), Median(build.catalogue), Median(build.uncompress),
                MedianRatio(build.catalogue, build.uncompress));
    std::printf("%s the catalogue's inflation step alone, median: %.2f ms\n", product.c_str(),
                Median(build.inflateAlone));
    std::printf("%s planning alone, median: %.1f ms\n", product.c_str(), Median(planning));
    std::printf("%s install run, median of %d rounds: %.1f ms; plain-write floor: %.1f ms; per-round ratio %.2f\n",
                product.c_str(), rounds, Median(engine), Median(plain), MedianRatio(engine, plain));

    PrintResult(product, "inflated_bytes", catalogue.DataSize);
    PrintResult(product, "compressed_bytes", static_cast<double>(payload.size()));
    PrintResult(product, "files", static_cast<double>(writes.size()));
    // The targets: the sample's fixed costs (naming 272 entries) weigh more
    // against its 0.3 MB than against the large product's 100 MB.
    const bool large = product == "large";
    PrintPairResults(product, "catalogue", build.catalogue, build.uncompress, large ? 0.5 : 0.8);
    PrintPairResults(product, "install", engine, plain, 1.15);
    return 0;
}
