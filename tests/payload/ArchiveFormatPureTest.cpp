// The payload format, natively: the packer and the reader together, the
// reader's edge cases, and every kind of damage the reader must refuse.
#include "instutils/DateTime.h"
#include "payload/ArchiveFormat.h"
#include "payload/Inflate.h"
#include "tests/payload/ZerosStream.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace qwp::archive {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Compress(const Bytes& raw, int level = Z_BEST_COMPRESSION) {
    uLongf size = compressBound(raw.size());
    Bytes out(size);
    EXPECT_EQ(compress2(out.data(), &size, raw.data(), raw.size(), level), Z_OK);
    out.resize(size);
    return out;
}

Bytes Entry(const std::string& name, double date, const std::string& data) {
    Bytes out;
    AppendEntry(out, name, date, reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
    return out;
}

// The inflated bytes as a plain vector, to compare.
Bytes Plain(const PayloadBytes& data) { return Bytes(data.begin(), data.end()); }

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

ParseResult Parse(const Bytes& b) { return ParseArchive(b.data(), b.size()); }

TEST(ArchiveParse, ReadsEntriesWithOffsetsIntoTheWholeBuffer) {
    const Bytes raw = Concat({Entry("qwp.exe", 45000.5, "MZ-program"), Entry("userdicen.tlx", 45001.0, ""),
                              Entry("Templates\\Faxes\\Fax 1.rtf", 45002.25, "{\\rtf1}")});
    const ParseResult r = Parse(raw);
    ASSERT_EQ(r.error, ParseError::None) << DescribeParseError(r.error);
    ASSERT_EQ(r.entries.size(), 3u);
    EXPECT_EQ(r.entries[0].name, "qwp.exe");
    EXPECT_EQ(r.entries[0].offset, 1 + 7 + 12);
    EXPECT_EQ(r.entries[0].size, 10);
    EXPECT_DOUBLE_EQ(r.entries[0].date, 45000.5);
    // A size-0 entry: the next entry follows its size field directly.
    EXPECT_EQ(r.entries[1].size, 0);
    EXPECT_EQ(r.entries[1].offset, r.entries[0].offset + 10 + 1 + 13 + 12);
    EXPECT_EQ(r.entries[2].offset, r.entries[1].offset + 1 + 25 + 12);
    EXPECT_EQ(std::memcmp(raw.data() + r.entries[2].offset, "{\\rtf1}", 7), 0);
}

TEST(ArchiveParse, KeepsEmptyNamesAndDuplicates) {
    const Bytes raw = Concat({Entry("", 1.0, "a"), Entry("Same.txt", 2.0, "first"), Entry("SAME.TXT", 3.0, "second")});
    const ParseResult r = Parse(raw);
    ASSERT_EQ(r.error, ParseError::None);
    ASSERT_EQ(r.entries.size(), 3u);
    EXPECT_EQ(r.entries[0].name, "");
    EXPECT_EQ(r.entries[1].name, "Same.txt");
    EXPECT_EQ(r.entries[2].name, "SAME.TXT");
}

TEST(ArchiveParse, EmptyPayloadGivesNoEntries) {
    const ParseResult r = ParseArchive(nullptr, 0);
    EXPECT_EQ(r.error, ParseError::None);
    EXPECT_TRUE(r.entries.empty());

    const Bytes empty = Compress({});
    const InflateResult inflated = InflatePayload(empty.data(), empty.size());
    EXPECT_EQ(inflated.error, InflateError::None);
    EXPECT_TRUE(inflated.data.empty());
}

TEST(ArchiveParse, RefusesEveryTruncationWithoutPartialList) {
    const Bytes good = Concat({Entry("a.txt", 1.0, "first"), Entry("bb.txt", 2.0, "0123456789")});
    const std::size_t second = 1 + 5 + 12 + 5;
    struct Cut {
        std::size_t length;
        ParseError error;
    } cuts[] = {
        {second + 1, ParseError::TruncatedName},       // length byte only
        {second + 1 + 5, ParseError::TruncatedName},   // name one byte short
        {second + 1 + 6 + 7, ParseError::TruncatedDate},
        {second + 1 + 6 + 8 + 3, ParseError::TruncatedSize},
        {good.size() - 1, ParseError::TruncatedData},
    };
    for (const Cut& cut : cuts) {
        const ParseResult r = ParseArchive(good.data(), cut.length);
        EXPECT_EQ(r.error, cut.error) << "cut at " << cut.length << ": " << DescribeParseError(r.error);
        EXPECT_TRUE(r.entries.empty()) << "cut at " << cut.length;
        EXPECT_EQ(r.errorOffset, second) << "cut at " << cut.length;
    }
    EXPECT_EQ(ParseArchive(good.data(), good.size()).entries.size(), 2u);
}

TEST(ArchiveParse, HugeSizeFieldCannotOverflowTheBoundsTest) {
    Bytes raw = Entry("a", 1.0, "xy");
    // Size 0xFFFFFFFF: adding it to the position would wrap on 32-bit builds.
    raw[1 + 1 + 8 + 0] = raw[1 + 1 + 8 + 1] = raw[1 + 1 + 8 + 2] = raw[1 + 1 + 8 + 3] = 0xFF;
    EXPECT_EQ(Parse(raw).error, ParseError::TruncatedData);
    raw[1 + 1 + 8 + 3] = 0x7F;
    EXPECT_EQ(Parse(raw).error, ParseError::TruncatedData);
}

TEST(ArchiveParse, RefusesNamesThatAreNotSafeRelativePaths) {
    const char* unsafe[] = {
        "\\Windows\\evil.dll", "/etc/passwd", "C:\\x.txt", "a:b", "file.txt:stream", "Templates\\\\x.rtf",
        "Templates\\", ".", "..", "..\\x", "a\\..\\..\\x", "a\\.\\x", "name.", "name ", "dir.\\x", "dir \\x",
        "CON", "con.txt", "Nul", "NUL .txt", "COM1", "lpt9.log", "a\\AUX\\b", "PRN.x.y", "CONIN$",
        "COM\xb9", "lpt\xb3.txt", "Templates/x.rtf", "a/b",
        "tab\there", "bell\a", "a<b", "a>b", "a\"b", "a|b", "a?b", "a*b", "a\x7f" "b"};
    for (const char* name : unsafe) {
        EXPECT_FALSE(IsSafeEntryName(name)) << name;
        EXPECT_EQ(Parse(Entry(name, 1.0, "x")).error, ParseError::UnsafeName) << name;
    }
    const char* safe[] = {"", "qwp.exe", "Clip Library\\Headers & Footers\\Footer 1.rtf", "COM0", "COM10",
                          "CONSOLE.txt", "nul_file", ".hidden", "a..b", "English (American).asc",
                          "caf\xe9.txt"};
    for (const char* name : safe) EXPECT_TRUE(IsSafeEntryName(name)) << name;
}

TEST(PayloadInflate, RefusesDamagedStreams) {
    const Bytes raw = Concat({Entry("a.txt", 1.0, std::string(5000, 'q')), Entry("b.txt", 2.0, "tail")});
    const Bytes good = Compress(raw);
    ASSERT_EQ(good[0], 0x78);
    ASSERT_EQ(good[1], 0xDA);

    Bytes adler = good;
    adler.back() ^= 0x01;
    EXPECT_EQ(InflatePayload(adler.data(), adler.size()).error, InflateError::Corrupt);

    Bytes header = good;
    header[0] = 0x00;
    EXPECT_EQ(InflatePayload(header.data(), header.size()).error, InflateError::Corrupt);

    for (std::size_t cut : {good.size() - 1, good.size() / 2, std::size_t{2}}) {
        const InflateResult r = InflatePayload(good.data(), cut);
        EXPECT_EQ(r.error, InflateError::Truncated) << "cut at " << cut << ": " << DescribeInflateError(r.error);
        EXPECT_TRUE(r.data.empty());
    }

    Bytes trailing = good;
    trailing.push_back(0);
    EXPECT_EQ(InflatePayload(trailing.data(), trailing.size()).error, InflateError::TrailingData);
    EXPECT_EQ(InflatePayload(good.data(), 0).error, InflateError::Empty);

    const InflateResult ok = InflatePayload(good.data(), good.size());
    ASSERT_EQ(ok.error, InflateError::None);
    EXPECT_EQ(Plain(ok.data), raw);
}

TEST(PayloadInflate, GrowsTheBufferWhenTheRatioExceedsFive) {
    // 1 MB of one byte compresses about a thousandfold, so the first buffer
    // (five times the compressed size) must grow many times.
    const Bytes raw = Entry("zeros.bin", 1.0, std::string(1 << 20, '\0'));
    const Bytes packed = Compress(raw);
    const InflateResult r = InflatePayload(packed.data(), packed.size());
    ASSERT_EQ(r.error, InflateError::None);
    EXPECT_EQ(Plain(r.data), raw);
    const std::size_t step = (packed.size() + 255) / 256 * 256;
    const std::size_t expected = (raw.size() - 5 * packed.size() + step - 1) / step;
    EXPECT_EQ(static_cast<std::size_t>(r.enlargements), expected);
    EXPECT_EQ(r.data.capacity(), r.data.size());
}

long PeakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A stream that outgrows the first buffer is checked to its end before the
// buffer grows: a tampered one must never cost the memory it claims.
TEST(PayloadInflate, OversizedOrDamagedStreamsAreRefusedBeforeTheBufferGrows) {
    const long peakBefore = PeakResidentKiB();
    const Bytes huge = test::ZerosStream(2048);  // 2^31 bytes: one more than a 32-bit offset addresses
    const InflateResult refused = InflatePayload(huge.data(), huge.size());
    EXPECT_EQ(refused.error, InflateError::TooLarge) << DescribeInflateError(refused.error);
    EXPECT_TRUE(refused.data.empty());
    EXPECT_LT(PeakResidentKiB() - peakBefore, 256 * 1024) << "KiB taken for a refused stream";

    const Bytes good = test::ZerosStream(24);
    const InflateResult ok = InflatePayload(good.data(), good.size());
    ASSERT_EQ(ok.error, InflateError::None) << DescribeInflateError(ok.error);
    EXPECT_EQ(Plain(ok.data), Bytes(24u << 20, 0));
    EXPECT_EQ(ok.data.capacity(), ok.data.size());
    const std::size_t step = (good.size() + 255) / 256 * 256;
    EXPECT_EQ(static_cast<std::size_t>(ok.enlargements), ((24u << 20) - 5 * good.size() + step - 1) / step);

    Bytes adler = good;
    adler.back() ^= 0x01;
    Bytes trailing = good;
    trailing.push_back(0);
    const std::pair<Bytes, InflateError> damaged[] = {{adler, InflateError::Corrupt},
                                                      {Bytes(good.begin(), good.end() - 3), InflateError::Truncated},
                                                      {trailing, InflateError::TrailingData}};
    for (const auto& [stream, error] : damaged) {
        const InflateResult r = InflatePayload(stream.data(), stream.size());
        EXPECT_EQ(r.error, error) << DescribeInflateError(r.error);
        EXPECT_TRUE(r.data.empty());
    }
}

TEST(PayloadInflate, FirstBufferSufficesForOrdinaryData) {
    Bytes raw;
    std::uint32_t seed = 12345;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1103515245 + 12345;
        raw.push_back(static_cast<std::uint8_t>('a' + (seed >> 16) % 26));
    }
    const Bytes packed = Compress(raw);
    const InflateResult r = InflatePayload(packed.data(), packed.size());
    ASSERT_EQ(r.error, InflateError::None);
    EXPECT_EQ(r.enlargements, 0);
    EXPECT_EQ(Plain(r.data), raw);
}

// The fast inflater and the streaming one agree on every stream: the same
// bytes from a sound one, the same error for a damaged one (the fast path
// hands every failure over to the streaming inflater). A stream that
// inflates beyond five times its size takes the streaming path and its
// enlargements.
TEST(PayloadInflate, FastAndStreamingPathsAgree) {
    Bytes text;
    for (int i = 0; i < 300000; ++i) text.push_back(static_cast<std::uint8_t>("payload entry "[i % 14]));
    const Bytes ordinary = Compress(Entry("a.txt", 1.0, "hello") ), repetitive = Compress(text, 1);
    Bytes adler = ordinary, trailing = ordinary, cut(ordinary.begin(), ordinary.end() - 2), header = ordinary;
    adler.back() ^= 1;
    trailing.push_back(0);
    header[1] ^= 0x20;  // a preset dictionary asked for
    const struct {
        const char* name;
        Bytes stream;
        InflateError error;
        bool enlarged;
    } cases[] = {
        {"ordinary", ordinary, InflateError::None, false},
        {"ratio above five", repetitive, InflateError::None, true},
        {"bad Adler-32", adler, InflateError::Corrupt, false},
        {"bytes after the end", trailing, InflateError::TrailingData, false},
        {"cut short", cut, InflateError::Truncated, false},
        {"dictionary", header, InflateError::Corrupt, false},
    };
    for (const auto& c : cases) {
        const InflateResult fast = InflatePayload(c.stream.data(), c.stream.size(), InflatePath::Fast);
        const InflateResult streaming = InflatePayload(c.stream.data(), c.stream.size(), InflatePath::Streaming);
        EXPECT_EQ(fast.error, c.error) << c.name << ": " << DescribeInflateError(fast.error);
        EXPECT_EQ(streaming.error, c.error) << c.name;
        EXPECT_EQ(Plain(fast.data), Plain(streaming.data)) << c.name;
        EXPECT_EQ(fast.enlargements > 0, c.enlarged) << c.name;
        EXPECT_EQ(fast.enlargements, streaming.enlargements) << c.name;
    }
    EXPECT_EQ(Plain(InflatePayload(repetitive.data(), repetitive.size()).data), text);
}

// The packer, run as the build runs it.
class Packer : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/qwp-packer-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        Write("files/a.txt", "alpha");
        Write("files/empty.tlx", "");
        Write("qwp.exe", "MZ stand-in");
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

    void Write(const std::string& relative, const std::string& content) {
        std::system(("mkdir -p \"$(dirname '" + dir_ + "/" + relative + "')\"").c_str());
        std::ofstream(dir_ + "/" + relative, std::ios::binary) << content;
    }

    int Pack(const std::string& manifest, const std::string& out = "payload.bin") {
        Write("manifest.tsv", manifest);
        const std::string command = std::string(QWP_PACKER_PATH) + " --manifest " + dir_ + "/manifest.tsv --root " +
                                    dir_ + "/files --qwp " + dir_ + "/qwp.exe --out " + dir_ + "/" + out +
                                    " >" + dir_ + "/packer.log 2>&1";
        return std::system(command.c_str());
    }

    Bytes Read(const std::string& relative) {
        std::ifstream in(dir_ + "/" + relative, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string Log() {
        const Bytes b = Read("packer.log");
        return std::string(b.begin(), b.end());
    }

    std::string dir_;
};

TEST_F(Packer, RoundTripKeepsOrderNamesStampsAndBytes) {
    ASSERT_EQ(Pack("# name\tsource\ttime\n"
                   "qwp.exe\t@qwp\t2024-03-01 09:30:42\n"
                   "Sub\\A.txt\ta.txt\t1999-12-31 23:59:58\n"
                   "userdicen.tlx\tempty.tlx\t2025-06-30 00:00:00\n"),
              0)
        << Log();
    const Bytes packed = Read("payload.bin");
    ASSERT_GE(packed.size(), 2u);
    EXPECT_EQ(packed[0], 0x78);
    EXPECT_EQ(packed[1], 0xDA);
    const InflateResult inflated = InflatePayload(packed.data(), packed.size());
    ASSERT_EQ(inflated.error, InflateError::None);
    const ParseResult r = ParseArchive(inflated.data.data(), inflated.data.size());
    ASSERT_EQ(r.error, ParseError::None);
    ASSERT_EQ(r.entries.size(), 3u);
    EXPECT_EQ(r.entries[0].name, "qwp.exe");
    EXPECT_EQ(r.entries[1].name, "Sub\\A.txt");
    EXPECT_EQ(r.entries[2].name, "userdicen.tlx");
    EXPECT_EQ(r.entries[2].size, 0);
    EXPECT_EQ(std::string(inflated.data.begin() + r.entries[0].offset,
                          inflated.data.begin() + r.entries[0].offset + r.entries[0].size),
              "MZ stand-in");
    // A stamp read back from a file through the DOS form must equal the
    // stored one exactly, or every reinstall would replace every file.
    const DosDateTime dos = DateTimeToDos(r.entries[0].date);
    EXPECT_EQ(dos.date, (2024 - 1980) * 512 + 3 * 32 + 1);
    EXPECT_EQ(dos.time, 9 * 2048 + 30 * 32 + 21);
    EXPECT_EQ(DosToDateTime(dos), r.entries[0].date);
    EXPECT_EQ(DosToDateTime(DateTimeToDos(r.entries[1].date)), r.entries[1].date);

    ASSERT_EQ(Pack("qwp.exe\t@qwp\t2024-03-01 09:30:42\nSub\\A.txt\ta.txt\t1999-12-31 23:59:58\n"
                   "userdicen.tlx\tempty.tlx\t2025-06-30 00:00:00\n",
                   "again.bin"),
              0);
    EXPECT_EQ(Read("again.bin"), packed) << "the same inputs must give the same payload";
}

TEST_F(Packer, RefusesUnsafeManifests) {
    const std::string longName(256, 'n');
    struct Case {
        std::string manifest;
        const char* complaint;
    } cases[] = {
        {longName + "\ta.txt\t2024-01-01 00:00:00\n", "longer than 255"},
        {"a.txt\ta.txt\t2024-01-01 00:00:00\nA.TXT\ta.txt\t2024-01-01 00:00:00\n", "duplicate"},
        {"\\abs.txt\ta.txt\t2024-01-01 00:00:00\n", "absolute"},
        {"C:\\x.txt\ta.txt\t2024-01-01 00:00:00\n", "drive"},
        {"ab:c.txt\ta.txt\t2024-01-01 00:00:00\n", "colon"},
        {"a\\..\\..\\x.txt\ta.txt\t2024-01-01 00:00:00\n", "\"..\""},
        {"a.txt\tmissing.txt\t2024-01-01 00:00:00\n", "cannot read"},
        {"a.txt\ta.txt\t2024-02-30 00:00:00\n", "bad time stamp"},
        {"a.txt\ta.txt\t2024-02-03 10:11:13\n", "even seconds"},
        {"a.txt\ta.txt\t1979-12-31 10:11:12\n", "bad time stamp"},
        {"Sub/a.txt\ta.txt\t2024-01-01 00:00:00\n", "not a name Windows stores"},
    };
    for (const Case& c : cases) {
        EXPECT_NE(Pack(c.manifest, "refused.bin"), 0) << c.manifest;
        EXPECT_NE(Log().find(c.complaint), std::string::npos) << "expected \"" << c.complaint << "\" in: " << Log();
    }
    EXPECT_EQ(Pack(std::string(255, 'n') + "\ta.txt\t2024-01-01 00:00:00\n", "ok.bin"), 0) << Log();
}

}  // namespace
}  // namespace qwp::archive
