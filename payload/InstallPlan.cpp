#include "payload/InstallPlan.h"

#include "instutils/DateTime.h"
#include "instutils/InstUtils.h"
#include "instutils/LogText.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace qwp {

const char* const ComponentNames[kComponentCount] = {
    "Quilvane Word Processor", "English spellchecker", "Hyphenation module",
    "Document templates",      "Clip library",         "Basic sound scheme",
};

const char* const ComponentSizePatterns[kComponentCount] = {
    "qwp.exe\rLicense.txt",
    "English (American).asc\rEnglish (British).asc\renglish.zlx\rus.zlx\ruk.zlx\ruserdicen.tlx\r"
    "English (American).cache",
    "Hyphenation.dat",
    "Templates\\",
    "Clip Library\\",
    "Basic.asn",
};

namespace {

const char kProductFolder[] = "Quilvane";
const char kPortableSpellingFolder[] = "Spellcheck\\";
// The payload has no British cache: the American one serves for both.
const char kBritishCacheName[] = "English (British).cache";
const char kSharedPublicFolder[] = "Quilvane\\Public\\";
const char kSharedMark[] = "\t!";

bool IsFolderPrefix(const std::string& pattern) { return LastChar(pattern) == '\\'; }

// The prefix test: the candidate cut to the pattern's length, then SameName.
bool StartsWithName(const std::string& candidate, const std::string& prefix) {
    return SameName(candidate.substr(0, prefix.size()), prefix);
}

std::string SpecialFolderOr(int csidl, int fallback) {
    std::string folder = GetSpecialFolder(csidl);
    return folder.empty() ? GetSpecialFolder(fallback) : folder;
}

std::string ProductFolderIn(std::string base) {
    AddTrailingBackslash(base);
    return base + kProductFolder;
}

// The folder with its trailing backslash, created with its parents; the
// empty text stays empty.
std::string MadeFolder(std::string folder) {
    if (!folder.empty()) {
        AddTrailingBackslash(folder);
        ForceFolders(folder);
    }
    return folder;
}

// The product's folder below a shell folder, else below the documents
// folder; created. Empty when the shell names neither.
std::string ShellDataFolder(int csidl) {
    const std::string base = SpecialFolderOr(csidl, CSIDL_PERSONAL);
    return base.empty() ? std::string() : MadeFolder(ProductFolderIn(base));
}

std::string MadeBelow(const std::string& folder, const std::string& name) {
    return folder.empty() ? std::string() : MadeFolder(folder + name);
}

// The folder of a kind below the shell's data folders, each level created
// in turn, outermost first; empty when the shell names no folder for it.
std::string ShellFolderOfKind(int kind) {
    switch (kind) {
        case CommonDataFolder: return ShellDataFolder(CSIDL_COMMON_APPDATA);
        case HiddenDataFolder: return MadeBelow(ShellFolderOfKind(CommonDataFolder), "Hidden");
        case PublicDataFolder: return MadeBelow(ShellFolderOfKind(CommonDataFolder), "Public");
        case UserDataFolder: return ShellDataFolder(CSIDL_APPDATA);
        default: return MadeBelow(ShellFolderOfKind(PublicDataFolder), "Spellcheck\\");
    }
}

// Where a portable installation keeps every kind: the destination folder
// itself, the spelling files in its "Spellcheck" sub-folder; created.
std::string PortableFolderOfKind(std::string mainDir, int kind) {
    if (mainDir.empty()) return {};
    AddTrailingBackslash(mainDir);
    return MadeFolder(kind >= SpellingFolder ? mainDir + kPortableSpellingFolder : mainDir);
}

std::string SharedPublicPrefix() { return JoinPath(GetSpecialFolder(CSIDL_COMMON_APPDATA), kSharedPublicFolder); }

}  // namespace

double NowAsDateTime() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    DateTimeParts parts{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
    double value = 0.0;
    EncodeDateTime(parts, value);
    return value;
}

// ---- the plan: single copies ----

TInstallPlan::TInstallPlan(const TAttachedFiles& catalogue) : catalogue_(catalogue) {}

void TInstallPlan::Begin() {
    for (int group = 0; group < kComponentCount; ++group) ClearGroup(group);
    UnwrittenStamp.clear();
    sharedPrefix_ = SharedPublicPrefix();
}

bool TInstallPlan::AddToPlan(const std::string& pattern, const std::string& folder, int group,
                             OverwritePolicy policy, PlanDestination destination) {
    if (group < 0 || group >= kComponentCount) return false;
    // Outside a whole plan, the shared Public folder is asked once for all
    // the entries of this call.
    const std::string asked = sharedPrefix_.empty() ? SharedPublicPrefix() : std::string();
    const PlanCall call{folder, destination == PlanDestination::Exact, group, policy,
                        ForceReplace ? AlwaysReplace : policy, sharedPrefix_.empty() ? asked : sharedPrefix_};
    bool planned = false;
    if (IsFolderPrefix(pattern)) {
        for (const auto& entry : catalogue_.Entries)
            if (StartsWithName(entry->Name, pattern)) planned = PlanFile(entry.get(), call) || planned;
        return planned;
    }
    for (const auto& entry : catalogue_.Entries)
        if (SameName(entry->Name, pattern)) return PlanFile(entry.get(), call);
    return false;
}

bool TInstallPlan::PlanFile(const TAttachedFile* entry, const PlanCall& call) {
    std::string destination = call.folder;
    if (!call.exact) {
        AddTrailingBackslash(destination);
        destination += entry->Name;
    }
    if (call.effective != AlwaysReplace && FileExists(destination)) {
        if (call.effective == KeepExisting) return false;
        // Files this setup wrote carry the stored stamp at the two-second
        // resolution FileTimeOf reads back, so an unchanged file compares
        // equal; any other time, older or newer, is replaced.
        if (FileTimeOf(destination) == entry->Date) return false;
    }

    auto copy = std::make_unique<TFileToInstall>();
    copy->Entry = entry;
    copy->Destination = destination;
    copy->Logged = LogSuppression == 0;
    Groups[call.group].push_back(std::move(copy));

    if (StartsWithName(destination, call.sharedPrefix))
        SharedUpdateList.push_back(call.given == KeepExisting ? destination + kSharedMark : destination);
    return true;
}

void TInstallPlan::ClearGroup(int index) {
    if (index < 0 || index >= kComponentCount) return;
    auto& group = Groups[index];
    while (!group.empty()) group.pop_back();
}

std::int64_t TInstallPlan::PlannedBytes() const {
    std::int64_t total = 0;
    for (const auto& group : Groups)
        for (const auto& copy : group) total += copy->Entry->Size;
    return total;
}

// ---- the catalogue's side: sizes and look-ups ----

std::int32_t TAttachedFiles::ComponentSize(const std::string& patternText,
                                           const std::string& destinationFolder) const {
    return ComponentSizeOnClusters(patternText, GetClusterSize(destinationFolder));
}

std::int32_t TAttachedFiles::ComponentSizeOnClusters(const std::string& patternText, std::int32_t clusterSize) const {
    std::int64_t sum = 0;
    // Lines end at CR, LF or both, as in a log text.
    const std::vector<std::string> lines = SplitLogText(patternText);
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        const bool prefix = IsFolderPrefix(*line);
        for (auto entry = Entries.rbegin(); entry != Entries.rend(); ++entry) {
            const bool matches = prefix ? StartsWithName((*entry)->Name, *line) : SameName((*entry)->Name, *line);
            if (!matches) continue;
            sum += RoundUpToClusters((*entry)->Size, clusterSize);
            if (!prefix) break;
        }
    }
    return static_cast<std::int32_t>(std::min<std::int64_t>(sum, std::numeric_limits<std::int32_t>::max()));
}

const TAttachedFile* TAttachedFiles::FindEntry(const std::string& name) const {
    for (auto entry = Entries.rbegin(); entry != Entries.rend(); ++entry)
        if (SameName((*entry)->Name, name)) return entry->get();
    return nullptr;
}

std::vector<std::string> PlannedNamesBelowMainDir(const TAttachedFiles& catalogue, bool portable) {
    std::vector<std::string> names;
    for (int component = 0; component < kComponentCount; ++component) {
        if (!portable && component != 0 && component != 2) continue;
        const std::string folder = component == 1 ? kPortableSpellingFolder : "";
        for (const std::string& pattern : SplitLogText(ComponentSizePatterns[component]))
            for (const auto& entry : catalogue.Entries)
                if (IsFolderPrefix(pattern) ? StartsWithName(entry->Name, pattern) : SameName(entry->Name, pattern))
                    names.push_back(folder + entry->Name);
    }
    if (portable) names.push_back(kPortableSpellingFolder + std::string(kBritishCacheName));
    return names;
}

// ---- the target's side: folders and the whole plan ----

bool InstallTarget::IsPortableInstall() const { return portableDecided_ ? portable_ : IsPortableLocation(MainDir); }

void InstallTarget::DecidePortable() {
    portable_ = IsPortableLocation(MainDir);
    portableDecided_ = true;
}

std::string InstallTarget::InMainDir(const std::string& name) const { return JoinPath(MainDir, name); }

std::string InstallTarget::GetInstallFolder(int kind) const { return FolderOfKind(kind, IsPortableInstall()); }

// One answer to the portable question serves the whole call, inner folders
// included.
std::string InstallTarget::FolderOfKind(int kind, bool portable) const {
    if (!portable) {
        const std::string folder = ShellFolderOfKind(kind);
        if (!folder.empty()) return folder;
        // The shell names neither the data folder nor the documents folder.
        // The product name alone would be a relative path, made in whatever
        // the current folder happens to be. The data stays with the program
        // instead, laid out as a portable installation lays it out, which is
        // a layout the word processor knows how to read.
    }
    return PortableFolderOfKind(MainDir, kind);
}

void InstallTarget::BuildInstallPlan(TInstallPlan& plan) {
    plan.Begin();
    plan.ForceReplace = !IsPortableInstall();

    plan.AddToPlan("qwp.exe", MainDir, 0, ReplaceChanged);
    plan.AddToPlan("License.txt", MainDir, 0, ReplaceChanged);

    // Made whether or not the spellchecker is chosen.
    const std::string spelling = GetInstallFolder(SpellingFolder);
    if (IsSelected(1)) {
        SuppressLog();
        plan.AddToPlan("English (American).asc", spelling, 1, KeepExisting);
        plan.AddToPlan("English (American).cache", spelling, 1, KeepExisting);
        plan.AddToPlan("English (British).asc", spelling, 1, KeepExisting);
        plan.AddToPlan("English (American).cache", spelling + kBritishCacheName, 1, KeepExisting,
                            PlanDestination::Exact);
        plan.AddToPlan("english.zlx", spelling, 1, ReplaceChanged);
        plan.AddToPlan("us.zlx", spelling, 1, ReplaceChanged);
        plan.AddToPlan("uk.zlx", spelling, 1, ReplaceChanged);
        plan.AddToPlan("userdicen.tlx", spelling, 1, KeepExisting);
        ResumeLog();
    }
    if (IsSelected(2)) plan.AddToPlan("Hyphenation.dat", MainDir, 2, ReplaceChanged);

    const std::string publicData = GetInstallFolder(PublicDataFolder);
    SuppressLog();
    if (IsSelected(3)) plan.AddToPlan("Templates\\", publicData, 3, KeepExisting);
    if (IsSelected(4)) plan.AddToPlan("Clip Library\\", publicData, 4, KeepExisting);
    ResumeLog();
    if (IsSelected(5)) plan.AddToPlan("Basic.asn", publicData, 5, ReplaceChanged);

    if (!IsPortableInstall()) {
        InstallStamp = NowAsDateTime();
        std::string bytes(sizeof InstallStamp, '\0');
        std::memcpy(&bytes[0], &InstallStamp, sizeof InstallStamp);  // little-endian on every Windows target
        const std::string stamp = GetInstallFolder(HiddenDataFolder) + kInstallStampName;
        if (!WriteBytesToFile(stamp, bytes)) plan.UnwrittenStamp = stamp;
    }
}

}  // namespace qwp
