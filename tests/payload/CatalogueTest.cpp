// The catalogue built from the payload embedded in this very test program
// (it carries the setup's resource script), checked against the manifest the
// payload was packed from.
#include "instutils/DateTime.h"
#include "payload/AttachFiles.h"
#include "payload/InstallPlan.h"
#include "tests/payload/ZerosStream.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace qwp::test {
namespace {

struct ManifestLine {
    std::string name, source;
    double date = 0;
};

std::vector<ManifestLine> ReadManifest() {
    std::vector<ManifestLine> lines;
    std::istringstream in(ReadWholeFile(SourceFile("sample/manifest.tsv")));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        ManifestLine m;
        const std::size_t a = line.find('\t'), b = line.find('\t', a + 1);
        m.name = line.substr(0, a);
        m.source = line.substr(a + 1, b - a - 1);
        DateTimeParts p;
        std::sscanf(line.c_str() + b + 1, "%d-%d-%d %d:%d:%d", &p.year, &p.month, &p.day, &p.hour, &p.minute,
                    &p.second);
        EncodeDateTime(p, m.date);
        lines.push_back(m);
    }
    return lines;
}

std::string EntryBytes(const TAttachedFiles& catalogue, const TAttachedFile& entry) {
    return std::string(reinterpret_cast<const char*>(catalogue.Data.data()) + entry.Offset, entry.Size);
}

TEST(Catalogue, EmbeddedPayloadMatchesTheManifest) {
    TAttachedFiles catalogue;
    const std::vector<ManifestLine> manifest = ReadManifest();
    ASSERT_EQ(manifest.size(), 272u);
    ASSERT_EQ(catalogue.Entries.size(), manifest.size());
    EXPECT_EQ(catalogue.Enlargements, 0) << "the first buffer should hold the shipped payload";
    EXPECT_EQ(catalogue.DataSize, static_cast<std::int32_t>(catalogue.Data.size()));

    std::int64_t expectedOffset = 0;
    for (std::size_t i = 0; i < manifest.size(); ++i) {
        const TAttachedFile& entry = *catalogue.Entries[i];
        SCOPED_TRACE(entry.Name);
        EXPECT_EQ(entry.Name, manifest[i].name);
        EXPECT_EQ(entry.Date, manifest[i].date);
        expectedOffset += 13 + static_cast<std::int64_t>(entry.Name.size());
        EXPECT_EQ(entry.Offset, expectedOffset);
        expectedOffset += entry.Size;
        const std::string source = manifest[i].source == "@qwp" ? BuildFile("qwp.exe")
                                                                 : SourceFile("sample/files/" + manifest[i].source);
        EXPECT_EQ(EntryBytes(catalogue, entry), ReadWholeFile(source));
    }
    EXPECT_EQ(expectedOffset, catalogue.DataSize) << "the last entry must end the payload";

    EXPECT_EQ(catalogue.Entries.front()->Name, "qwp.exe");
    EXPECT_EQ(EntryBytes(catalogue, *catalogue.Entries.front()).substr(0, 2), "MZ");
    EXPECT_EQ(catalogue.Entries.back()->Name, "Hyphenation.dat");
}

TEST(Catalogue, DamagedStreamsNeverGiveACatalogue) {
    std::string packed = ReadWholeFile(BuildFile("payload/payload.bin"));
    ASSERT_GT(packed.size(), 1000u);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(packed.data());
    EXPECT_THROW(TAttachedFiles(bytes, packed.size() - 1), PayloadDamaged);
    EXPECT_THROW(TAttachedFiles(bytes, 0), PayloadDamaged);
    packed[packed.size() - 2] ^= 0x40;  // inside the Adler-32 trailer
    EXPECT_THROW(TAttachedFiles(bytes, packed.size()), PayloadDamaged);
}

// Claims 2^31 bytes, one more than an entry offset can address, in about
// 2 MB. A 32-bit process must not run out of memory on the way to finding
// that out: the user gets the damaged-setup message, not an abort.
TEST(Catalogue, OversizedStreamIsDamageNotMemoryExhaustion) {
    const std::vector<std::uint8_t> huge = ZerosStream(2048);
    EXPECT_THROW(TAttachedFiles(huge.data(), huge.size()), PayloadDamaged);
}

TEST(Catalogue, EmptyPayloadGivesAnEmptyCatalogueAndAnEmptyPlan) {
    Bytef packed[16];
    uLongf size = sizeof packed;
    ASSERT_EQ(compress2(packed, &size, nullptr, 0, Z_BEST_COMPRESSION), Z_OK);
    TAttachedFiles catalogue(packed, size);
    EXPECT_EQ(catalogue.DataSize, 0);
    EXPECT_TRUE(catalogue.Entries.empty());
    TInstallPlan plan(catalogue);
    ASSERT_EQ(plan.Groups.size(), 6u);
    for (const auto& group : plan.Groups) EXPECT_TRUE(group.empty());
    EXPECT_TRUE(plan.SharedUpdateList.empty());
    EXPECT_FALSE(plan.ForceReplace);
    EXPECT_FALSE(plan.AddToPlan("Templates\\", "C:\\", 3, AlwaysReplace));
    EXPECT_EQ(catalogue.ComponentSize(ComponentSizePatterns[3], "C:\\"), 0);
}

}  // namespace
}  // namespace qwp::test
