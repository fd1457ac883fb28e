// Prints what a packed payload holds: every entry with its size and time
// stamp, then the totals.   list_payload build/win64/payload/payload.bin
#include "instutils/DateTime.h"
#include "payload/ArchiveFormat.h"
#include "payload/Inflate.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: list_payload PAYLOAD\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<std::uint8_t> packed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto inflated = qwp::archive::InflatePayload(packed.data(), packed.size());
    if (inflated.error != qwp::archive::InflateError::None) {
        std::fprintf(stderr, "list_payload: %s\n", qwp::archive::DescribeInflateError(inflated.error));
        return 1;
    }
    const auto parsed = qwp::archive::ParseArchive(inflated.data.data(), inflated.data.size());
    if (parsed.error != qwp::archive::ParseError::None) {
        std::fprintf(stderr, "list_payload: %s at offset %zu\n", qwp::archive::DescribeParseError(parsed.error),
                     parsed.errorOffset);
        return 1;
    }
    for (const auto& entry : parsed.entries) {
        qwp::DateTimeParts p;
        qwp::DecodeDateTime(entry.date, p);
        std::printf("%10d  %04d-%02d-%02d %02d:%02d:%02d  %s\n", entry.size, p.year, p.month, p.day, p.hour,
                    p.minute, p.second, entry.name.c_str());
    }
    std::printf("%zu entries, %zu bytes compressed, %zu bytes inflated\n", parsed.entries.size(), packed.size(),
                inflated.data.size());
    return 0;
}
