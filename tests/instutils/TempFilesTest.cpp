#include "tests/instutils/InstUtilsFixture.h"
#include "tests/support/LinkTargets.h"

namespace qwp::test {
namespace {

class TempFilesTest : public InstUtilsTest {
protected:
    void SetUp() override {
        InstUtilsTest::SetUp();
        CreateDirectoryA(temp_.c_str(), nullptr);
        RedirectTemp(temp_);
    }
    const std::string temp_ = scratch_ / "temp\\", prefix_ = temp_ + "~QuilvaneWordProcessorSetup";
};

TEST_F(TempFilesTest, NewTempFileNameSkipsFilesButNotFolders) {
    EXPECT_EQ(TempNamePrefix(), "~QuilvaneWordProcessorSetup");
    CreateDirectoryA((prefix_ + "0.tmp").c_str(), nullptr);
    EXPECT_EQ(NewTempFileName(), prefix_ + "0.tmp");
    RemoveDirectoryA((prefix_ + "0.tmp").c_str());
    ASSERT_TRUE(WriteWholeFile(prefix_ + "0.tmp", ""));
    EXPECT_EQ(NewTempFileName(), prefix_ + "1.tmp");
    EXPECT_EQ(NewTempFileName(), prefix_ + "1.tmp");  // the name is not taken by asking
}

TEST_F(TempFilesTest, CleanTempFilesTakesOnlyNamesWithTheExactPrefix) {
    ASSERT_TRUE(WriteWholeFile(prefix_ + "0.tmp", "x"));
    ForceFolders(prefix_ + "Dir\\inner\\");
    ASSERT_TRUE(WriteWholeFile(prefix_ + "Dir\\inner\\f.txt", "x"));
    ASSERT_TRUE(WriteWholeFile(prefix_ + "7.tmp", "hidden"));
    SetFileAttributesA((prefix_ + "7.tmp").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    const Lines others{"unrelated.txt", "x~QuilvaneWordProcessorSetup0.tmp", "~QUILVANEWORDPROCESSORSETUP9.tmp",
                       "~QuilvaneWordProcessorSetu.tmp"};
    for (const std::string& name : others) ASSERT_TRUE(WriteWholeFile(temp_ + name, name));
    CleanTempFiles();
    EXPECT_EQ(Entries(temp_), others);
}

// A link with the prefix in the temporary folder must not let the clean-up
// delete anything outside that folder.
TEST_F(TempFilesTest, CleanTempFilesLeavesLinkTargetsAlone) {
    const LinkTargets outside(scratch_ / "outside\\");
    UnixLinks links;
    if (const std::string why = links.Make(
            {{outside.full, prefix_ + "1"}, {outside.empty, prefix_ + "2"}, {outside.file, prefix_ + "3.tmp"}});
        !why.empty())
        GTEST_SKIP() << why;
    ASSERT_TRUE(WriteWholeFile(prefix_ + "4.tmp", "ours"));
    CleanTempFiles();
    EXPECT_EQ(Attributes(prefix_ + "4.tmp"), "0xffffffff");
    EXPECT_EQ(outside.Damage(), "");
}

// A temporary folder that is itself a link (a moved profile, a RAM disk):
// every entry's final path lies below the link's target, which is where the
// folder really is. The leftovers go; a link inside is still not followed.
TEST_F(TempFilesTest, CleanTempFilesWorksInATemporaryFolderThatIsALink) {
    const std::string real = scratch_ / "real\\", linked = scratch_ / "linked\\";
    const std::string prefix = real + TempNamePrefix();
    const LinkTargets outside(scratch_ / "outside\\");
    ForceFolders(prefix + "Dir\\");
    ASSERT_TRUE(WriteWholeFile(prefix + "5.tmp", "leftover"));
    ASSERT_TRUE(WriteWholeFile(prefix + "Dir\\inner.txt", "leftover"));
    UnixLinks links;
    if (const std::string why = links.Make({{real, scratch_ / "linked"}, {outside.file, prefix + "6.tmp"}});
        !why.empty())
        GTEST_SKIP() << why;
    RedirectTemp(linked);
    ASSERT_EQ(GetTempFolder(), linked);

    CleanTempFiles();
    EXPECT_EQ(Attributes(prefix + "5.tmp"), "0xffffffff");
    EXPECT_EQ(Attributes(prefix + "Dir"), "0xffffffff");
    EXPECT_EQ(outside.Damage(), "");
}

}  // namespace
}  // namespace qwp::test
