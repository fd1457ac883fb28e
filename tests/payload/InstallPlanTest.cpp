// The install plan for the real payload: groups, order, destinations, the
// logged flag, the shared-file marks and the overwrite decisions.
#include "payload/ArchiveFormat.h"
#include "tests/payload/EngineFixture.h"

#include <zlib.h>

#include <tuple>
#include <vector>

namespace qwp::test {
namespace {

struct Row {
    std::string entry, destination;
    int group;
    bool logged;
    bool operator==(const Row& o) const {
        return std::tie(entry, destination, group, logged) == std::tie(o.entry, o.destination, o.group, o.logged);
    }
};

std::ostream& operator<<(std::ostream& out, const Row& r) {
    return out << "{" << r.entry << " -> " << r.destination << ", group " << r.group << ", "
               << (r.logged ? "logged" : "not logged") << "}";
}

std::vector<Row> PlannedRows(const TInstallPlan& plan) {
    std::vector<Row> rows;
    for (int g = 0; g < kComponentCount; ++g)
        for (const auto& copy : plan.Groups[g])
            rows.push_back(Row{copy->Entry->Name, copy->Destination, g, copy->Logged});
    return rows;
}

// The plan a full selection must give, built from the payload's own order.
std::vector<Row> ExpectedRows(const TAttachedFiles& catalogue, const std::string& main, const std::string& spelling,
                              const std::string& publicData) {
    std::vector<Row> rows = {{"qwp.exe", main + "qwp.exe", 0, true},
                             {"License.txt", main + "License.txt", 0, true}};
    for (const char* name : {"English (American).asc", "English (American).cache", "English (British).asc"})
        rows.push_back({name, spelling + name, 1, false});
    rows.push_back({"English (American).cache", spelling + "English (British).cache", 1, false});
    for (const char* name : {"english.zlx", "us.zlx", "uk.zlx", "userdicen.tlx"})
        rows.push_back({name, spelling + name, 1, false});
    rows.push_back({"Hyphenation.dat", main + "Hyphenation.dat", 2, true});
    for (const char* prefix : {"Templates\\", "Clip Library\\"})
        for (const auto& e : catalogue.Entries)
            if (e->Name.rfind(prefix, 0) == 0)
                rows.push_back({e->Name, publicData + e->Name, prefix[0] == 'T' ? 3 : 4, false});
    rows.push_back({"Basic.asn", publicData + "Basic.asn", 5, true});
    return rows;
}

TEST_F(EngineTest, FullPlanForANormalInstall) {
    target_.BuildInstallPlan(plan_);
    const std::string shared = SharedDataFolder();
    const std::vector<Row> expected =
        ExpectedRows(catalogue(), dest_.Path(), shared + "Public\\Spellcheck\\", shared + "Public\\");
    EXPECT_EQ(expected.size(), 2u + 8u + 1u + 19u + 242u + 1u);
    EXPECT_EQ(PlannedRows(plan_), expected);
    EXPECT_TRUE(plan_.ForceReplace);

    // Every copy below the shared Public folder is listed for the update log,
    // the kept-if-present kinds with the tab-and-"!" mark.
    std::vector<std::string> shares;
    for (const Row& r : expected) {
        if (r.destination.rfind(shared + "Public\\", 0) != 0) continue;
        const bool replaceChanged = r.entry == "english.zlx" || r.entry == "us.zlx" || r.entry == "uk.zlx" ||
                                    r.entry == "Basic.asn";
        shares.push_back(replaceChanged ? r.destination : r.destination + "\t!");
    }
    EXPECT_EQ(plan_.SharedUpdateList, shares);

    // The time stamp file: the plan's own time, eight bytes.
    const std::string stamp = ReadWholeFile(shared + "Hidden\\install_stamp");
    ASSERT_EQ(stamp.size(), 8u);
    double value;
    memcpy(&value, stamp.data(), 8);
    EXPECT_EQ(value, target_.InstallStamp);
    EXPECT_NEAR(value, NowAsDateTime(), 1.0 / 24 / 60);

    // Planning again gives the same groups.
    target_.BuildInstallPlan(plan_);
    EXPECT_EQ(PlannedRows(plan_), expected);
}

// An install_stamp that cannot be written is named by the plan, which is
// made all the same; the next plan that writes it names none.
TEST_F(EngineTest, InstallStampThatCannotBeWrittenIsNamedByThePlan) {
    const std::string stamp = SharedDataFolder() + "Hidden\\install_stamp";
    ASSERT_EQ(SHCreateDirectoryExA(nullptr, stamp.c_str(), nullptr), ERROR_SUCCESS);
    target_.BuildInstallPlan(plan_);
    EXPECT_EQ(plan_.UnwrittenStamp, stamp);
    EXPECT_EQ(plan_.Groups[0].size(), 2u);
    ASSERT_TRUE(RemoveDirectoryA(stamp.c_str()));
    target_.BuildInstallPlan(plan_);
    EXPECT_EQ(plan_.UnwrittenStamp, "");
}

TEST_F(EngineTest, FullPlanForAPortableInstall) {
    if (!UsePortableDestination()) GTEST_SKIP() << "the test environment set up no removable drive";
    target_.BuildInstallPlan(plan_);
    EXPECT_FALSE(plan_.ForceReplace);
    EXPECT_EQ(PlannedRows(plan_), ExpectedRows(catalogue(), portable_, portable_ + "Spellcheck\\", portable_));
    EXPECT_TRUE(plan_.SharedUpdateList.empty());
    EXPECT_FALSE(FolderExists(SharedDataFolder())) << "a portable install writes nothing outside its folder";
}

TEST_F(EngineTest, OnlyTheProgramStillMakesTheDataFolders) {
    target_.SelectedComponents = 0;  // component 0 is planned whatever the bits say
    target_.BuildInstallPlan(plan_);
    EXPECT_EQ(plan_.Groups[0].size(), 2u);
    for (int g = 1; g < kComponentCount; ++g) EXPECT_TRUE(plan_.Groups[g].empty()) << g;
    const std::string shared = SharedDataFolder();
    EXPECT_TRUE(FolderExists(shared + "Public\\Spellcheck\\"));
    const std::vector<std::string> made = {"Made Dir: " + shared, "Made Dir: " + shared + "Public\\",
                                           "Made Dir: " + shared + "Public\\Spellcheck\\",
                                           "Made Dir: " + shared + "Hidden\\"};
    EXPECT_EQ(*InstallLog, made);
}

// Existing files in a portable install: kept, or replaced by their time.
TEST_F(EngineTest, PortablePoliciesAgainstExistingFiles) {
    if (!UsePortableDestination()) GTEST_SKIP() << "the test environment set up no removable drive";
    target_.BuildInstallPlan(plan_);
    ASSERT_TRUE(catalogue().ExtractEntry(nullptr, "qwp.exe", portable_ + "qwp.exe", user_));
    ASSERT_TRUE(catalogue().ExtractEntry(nullptr, "License.txt", portable_ + "License.txt", user_));
    ASSERT_TRUE(WriteWholeFile(portable_ + "License.txt", "edited by the user since"));  // a newer time
    ASSERT_TRUE(WriteWholeFile(portable_ + "Spellcheck\\userdicen.tlx", "the user's own words"));
    ASSERT_TRUE(WriteWholeFile(portable_ + "Spellcheck\\us.zlx", "another version"));
    ASSERT_TRUE(CreateDirectoryA((portable_ + "Basic.asn").c_str(), nullptr));  // a folder is no file

    target_.BuildInstallPlan(plan_);
    std::vector<std::string> planned;
    for (const auto& copy : plan_.Groups[0]) planned.push_back(copy->Entry->Name);
    EXPECT_EQ(planned, std::vector<std::string>{"License.txt"}) << "an unchanged qwp.exe is skipped";
    bool userDictionaryPlanned = false, usPlanned = false;
    for (const auto& copy : plan_.Groups[1]) {
        userDictionaryPlanned |= copy->Entry->Name == "userdicen.tlx";
        usPlanned |= copy->Entry->Name == "us.zlx";
    }
    EXPECT_FALSE(userDictionaryPlanned) << "KeepExisting keeps the user's dictionary";
    EXPECT_TRUE(usPlanned) << "ReplaceChanged replaces a file of another time";
    EXPECT_EQ(plan_.Groups[5].size(), 1u);
    RemoveDirectoryA((portable_ + "Basic.asn").c_str());
}

TEST_F(EngineTest, NormalInstallReplacesEverythingAndMarksSharedFiles) {
    target_.BuildInstallPlan(plan_);
    const std::vector<std::string> firstList = plan_.SharedUpdateList;
    ASSERT_EQ(firstList.size(), 8u + 19u + 242u + 1u);
    for (int g : {1, 3})
        for (const auto& copy : plan_.Groups[g])
            ASSERT_TRUE(catalogue().ExtractEntry(copy->Entry, "", copy->Destination, user_));
    plan_.SharedUpdateList.clear();
    target_.BuildInstallPlan(plan_);
    EXPECT_EQ(plan_.Groups[3].size(), 19u) << "ForceReplace plans existing templates again";
    EXPECT_EQ(plan_.SharedUpdateList, firstList) << "the marks follow the given policy, not the forced one";
}

// As on a system where no library has SHGetFolderPathA: the shell names no
// folder at all, for as long as it lives.
class NoShellFolders {
public:
    NoShellFolders() : saved_(SpecialFolderEntry) { SpecialFolderEntry = nullptr; }
    ~NoShellFolders() { SpecialFolderEntry = saved_; }
    NoShellFolders(const NoShellFolders&) = delete;
    NoShellFolders& operator=(const NoShellFolders&) = delete;

private:
    SHGetFolderPathAFn saved_;
};

// Without any shell folder the data folders must not become the relative
// "Quilvane" in the current folder: they fall back to the portable layout
// below the destination folder.
TEST_F(EngineTest, WithoutShellFoldersTheDataStaysBelowTheDestination) {
    TempFolder current;
    PushCurrentFolder();
    ASSERT_TRUE(SetCurrentDirectoryA(current.Path().c_str()));
    const std::string main = dest_.Path();
    {
        const NoShellFolders noShell;
        ASSERT_EQ(GetSpecialFolder(CSIDL_COMMON_APPDATA), "");
        target_.BuildInstallPlan(plan_);
        EXPECT_EQ(target_.GetInstallFolder(UserDataFolder), main);
    }
    PopCurrentFolder();
    EXPECT_TRUE(plan_.ForceReplace) << "still a normal installation";
    EXPECT_EQ(PlannedRows(plan_), ExpectedRows(catalogue(), main, main + "Spellcheck\\", main));
    EXPECT_TRUE(plan_.SharedUpdateList.empty());
    EXPECT_EQ(ReadWholeFile(main + "install_stamp").size(), 8u);
    EXPECT_EQ(*InstallLog, std::vector<std::string>{"Made Dir: " + main + "Spellcheck\\"});
    EXPECT_EQ(Entries(current.Path()), std::vector<std::string>{}) << "nothing relative to the current folder";
}

TEST_F(EngineTest, PatternsIgnoreCaseAndMatchWholeNames) {
    plan_.ForceReplace = true;
    EXPECT_TRUE(plan_.AddToPlan("templates\\", dest_.Path(), 3, KeepExisting));
    EXPECT_EQ(plan_.Groups[3].size(), 19u);
    EXPECT_TRUE(plan_.AddToPlan("QWP.EXE", dest_.Path(), 0, KeepExisting));
    EXPECT_EQ(plan_.Groups[0].back()->Destination, dest_.Path() + "qwp.exe") << "the entry's own name is used";
    EXPECT_FALSE(plan_.AddToPlan("qwp", dest_.Path(), 0, KeepExisting)) << "no prefix match for names";
    EXPECT_FALSE(plan_.AddToPlan("Templates", dest_.Path(), 3, KeepExisting));
    EXPECT_EQ(plan_.Groups[0].size(), 1u);
}

TEST_F(EngineTest, ComponentSizesRoundToClustersAndCountTheCacheOnce) {
    const std::int32_t cluster = GetClusterSize(dest_.Path());
    ASSERT_GT(cluster, 0);
    auto rounded = [cluster](std::int32_t size) { return (size + cluster - 1) / cluster * cluster; };
    std::int64_t spelling = 0, clips = 0;
    for (const char* name : {"English (American).asc", "English (British).asc", "english.zlx", "us.zlx", "uk.zlx",
                             "userdicen.tlx", "English (American).cache"})
        spelling += rounded(Entry(name).Size);
    for (const auto& e : catalogue().Entries)
        if (e->Name.rfind("Clip Library\\", 0) == 0) clips += rounded(e->Size);
    EXPECT_EQ(catalogue().ComponentSize(ComponentSizePatterns[1], dest_.Path()), spelling);
    EXPECT_EQ(catalogue().ComponentSize(ComponentSizePatterns[4], dest_.Path()), clips);
    EXPECT_EQ(catalogue().ComponentSize("qwp.exe\r\nlicense.TXT\n", dest_.Path()),
              rounded(Entry("qwp.exe").Size) + rounded(Entry("License.txt").Size));
    EXPECT_EQ(catalogue().ComponentSize("no such entry", dest_.Path()), 0);
}

}  // namespace
}  // namespace qwp::test

namespace qwp::test {
namespace {

// A catalogue of our own with two entries of one name (other letter case).
std::unique_ptr<TAttachedFiles> CatalogueWithTwins() {
    std::vector<std::uint8_t> raw;
    const std::string small(1, 'a'), large(5000, 'b'), template_(10, 't');
    archive::AppendEntry(raw, "Dup.txt", 45000.0, reinterpret_cast<const std::uint8_t*>(small.data()), small.size());
    archive::AppendEntry(raw, "Templates\\a.rtf", 45000.0, reinterpret_cast<const std::uint8_t*>(template_.data()),
                         template_.size());
    archive::AppendEntry(raw, "DUP.TXT", 45001.0, reinterpret_cast<const std::uint8_t*>(large.data()), large.size());
    uLongf size = compressBound(raw.size());
    std::vector<std::uint8_t> packed(size);
    compress2(packed.data(), &size, raw.data(), raw.size(), 9);
    return std::make_unique<TAttachedFiles>(packed.data(), size);
}

TEST_F(EngineTest, TwinNamesFollowEachLookUpsOwnOrder) {
    auto twins = CatalogueWithTwins();
    ASSERT_EQ(twins->Entries.size(), 3u);
    EXPECT_EQ(twins->FindEntry("dup.txt"), twins->Entries[2].get()) << "extraction by name takes the last";
    TInstallPlan plan(*twins);
    plan.ForceReplace = true;
    ASSERT_TRUE(plan.AddToPlan("dup.txt", dest_.Path(), 0, KeepExisting));
    EXPECT_EQ(plan.Groups[0].front()->Entry, twins->Entries[0].get()) << "the plan takes the first";
    const std::int32_t cluster = GetClusterSize(dest_.Path());
    const std::int32_t lastSize = (5000 + cluster - 1) / cluster * cluster;
    EXPECT_EQ(twins->ComponentSize("dup.txt", dest_.Path()), lastSize) << "sizes count the last one only";
    EXPECT_EQ(twins->ComponentSize("Templates\\\rdup.txt", dest_.Path()), lastSize + cluster);
}

TEST_F(EngineTest, UserDataFolderIsMadeBelowApplicationData) {
    const std::string expected = JoinPath(GetSpecialFolder(CSIDL_APPDATA), "Quilvane\\");
    RemoveTree(expected);
    EXPECT_EQ(target_.GetInstallFolder(UserDataFolder), expected);
    EXPECT_TRUE(FolderExists(expected));
    EXPECT_EQ(target_.GetInstallFolder(7), SharedDataFolder() + "Public\\Spellcheck\\") << "kinds above 4 spell";
    RemoveTree(expected);
}

}  // namespace
}  // namespace qwp::test
