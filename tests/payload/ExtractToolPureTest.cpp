// The payload tool's extract mode, run as make bench runs it: a payload made
// by the packer comes back as the very files, below their folders, with the
// time stamps the setup gives them.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

class ExtractTool : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/qwp-extract-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        Write("files/a.txt", "alpha");
        Write("files/empty.tlx", "");
        Write("qwp.exe", "MZ stand-in");
        Write("manifest.tsv",
              "qwp.exe\t@qwp\t2024-03-01 09:30:42\n"
              "Sub\\Deeper\\A $1.txt\ta.txt\t1999-12-31 23:59:58\n"
              "userdicen.tlx\tempty.tlx\t2025-06-30 00:00:00\n");
        ASSERT_EQ(Run(std::string(QWP_PACKER_PATH) + " --manifest " + dir_ + "/manifest.tsv --root " + dir_ +
                      "/files --qwp " + dir_ + "/qwp.exe --out " + dir_ + "/payload.bin"),
                  0);
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

    void Write(const std::string& relative, const std::string& content) {
        std::system(("mkdir -p \"$(dirname '" + dir_ + "/" + relative + "')\"").c_str());
        std::ofstream(dir_ + "/" + relative, std::ios::binary) << content;
    }
    std::string Read(const std::string& relative) {
        std::ifstream in(dir_ + "/" + relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    int Run(const std::string& command) {
        const int status = std::system((command + " >" + dir_ + "/out.txt 2>" + dir_ + "/err.txt").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // list_payload with the time zone given, as Wine would take it from
    // this machine.
    int Tool(const std::string& zone, const std::string& arguments) {
        return Run("TZ=" + zone + " " + std::string(QWP_LIST_PAYLOAD_PATH) + " " + arguments);
    }
    long long WriteTime(const std::string& relative) {
        struct stat info {};
        return stat((dir_ + "/" + relative).c_str(), &info) == 0 ? static_cast<long long>(info.st_mtime) : -1;
    }

    std::string dir_;
};

TEST_F(ExtractTool, WritesEveryEntryWithTheSetupsTimeStampInEachZone) {
    // The stamps are local times; the setup turns them into UTC with the
    // offset in force now. EST5 has no summer time, so the answer is fixed.
    struct Case {
        const char* zone;
        long long offsetSeconds;  // added to the UTC reading of the stamp
    } cases[] = {{"UTC0", 0}, {"EST5", 5 * 3600}, {"JST-9", -9 * 3600}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zone);
        const std::string tree = std::string("tree-") + c.zone;
        ASSERT_EQ(Tool(c.zone, "--extract " + dir_ + "/" + tree + " " + dir_ + "/payload.bin"), 0) << Read("err.txt");
        EXPECT_EQ(Read(tree + "/qwp.exe"), "MZ stand-in");
        EXPECT_EQ(Read(tree + "/Sub/Deeper/A $1.txt"), "alpha");
        EXPECT_EQ(Read(tree + "/userdicen.tlx"), "");
        EXPECT_EQ(WriteTime(tree + "/qwp.exe"), 1709285442 + c.offsetSeconds);  // 2024-03-01 09:30:42
        EXPECT_EQ(WriteTime(tree + "/Sub/Deeper/A $1.txt"), 946684798 + c.offsetSeconds);  // 1999-12-31 23:59:58
        EXPECT_EQ(WriteTime(tree + "/userdicen.tlx"), 1751241600 + c.offsetSeconds);  // 2025-06-30 00:00:00
    }
}

TEST_F(ExtractTool, PrintsTheSameListingAsWithoutExtracting) {
    ASSERT_EQ(Tool("UTC0", dir_ + "/payload.bin"), 0);
    const std::string listing = Read("out.txt");
    EXPECT_NE(listing.find("  1999-12-31 23:59:58  Sub\\Deeper\\A $1.txt\n"), std::string::npos) << listing;
    ASSERT_EQ(Tool("UTC0", "--extract " + dir_ + "/tree " + dir_ + "/payload.bin"), 0);
    EXPECT_EQ(Read("out.txt"), listing);
}

TEST_F(ExtractTool, RefusesADamagedPayloadAndWritesNothing) {
    std::string damaged = Read("payload.bin");
    damaged[damaged.size() / 2] ^= 0x55;
    Write("damaged.bin", damaged);
    EXPECT_EQ(Tool("UTC0", "--extract " + dir_ + "/tree " + dir_ + "/damaged.bin"), 1);
    struct stat info {};
    EXPECT_NE(stat((dir_ + "/tree").c_str(), &info), 0) << "nothing may be written from a payload that is refused";
    EXPECT_EQ(Tool("UTC0", "--extract " + dir_ + "/tree"), 2) << "a missing argument is a usage error";
}

}  // namespace
