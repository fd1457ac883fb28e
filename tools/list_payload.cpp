// Prints what a packed payload holds: every entry with its size and time
// stamp, then the totals. With --extract it also writes every entry below
// FOLDER (backslashes in names become folders), each file carrying the last
// write time the setup gives it, so another installer can be built from the
// very files and stamps the setup installs.
//
//   list_payload PAYLOAD
//   list_payload --extract FOLDER PAYLOAD
#include "instutils/DateTime.h"
#include "payload/ArchiveFormat.h"
#include "payload/Inflate.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The UTC seconds the setup writes for a stamp: the stamp is local time, cut
// to the two seconds of a DOS time, and turned into UTC with the offset from
// UTC in force now (LocalFileTimeToFileTime takes today's bias, not the one
// of the stamp's date), which Wine takes from this machine's time zone.
bool SetupFileTime(double date, std::time_t& utc) {
    const qwp::DosDateTime dos = qwp::DateTimeToDos(date);
    if (dos.date == 0 && dos.time == 0) return false;
    std::tm local{};
    local.tm_year = (dos.date >> 9) + 1980 - 1900;
    local.tm_mon = ((dos.date >> 5) & 15) - 1;
    local.tm_mday = dos.date & 31;
    local.tm_hour = dos.time >> 11;
    local.tm_min = (dos.time >> 5) & 63;
    local.tm_sec = (dos.time & 31) * 2;
    const std::time_t now = std::time(nullptr);
    std::tm today{};
    localtime_r(&now, &today);
    utc = timegm(&local) - today.tm_gmtoff;
    return true;
}

bool WriteEntry(const std::filesystem::path& folder, const qwp::archive::EntryRecord& entry,
                const std::uint8_t* inflated) {
    std::string relative = entry.name;
    for (char& c : relative)
        if (c == '\\') c = '/';
    const std::filesystem::path path = folder / relative;
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) {
        std::fprintf(stderr, "list_payload: cannot make the folder of %s: %s\n", path.c_str(),
                     error.message().c_str());
        return false;
    }
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(inflated) + entry.offset, entry.size);
        if (!out) {
            std::fprintf(stderr, "list_payload: cannot write %s\n", path.c_str());
            return false;
        }
    }
    std::time_t utc = 0;
    if (!SetupFileTime(entry.date, utc)) return true;  // the setup leaves such a file its write time too
    const struct timespec times[2] = {{utc, 0}, {utc, 0}};
    if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
        std::fprintf(stderr, "list_payload: cannot stamp %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const bool extract = argc == 4 && std::strcmp(argv[1], "--extract") == 0;
    if (argc != 2 && !extract) {
        std::fprintf(stderr, "usage: list_payload [--extract FOLDER] PAYLOAD\n");
        return 2;
    }
    std::ifstream in(argv[argc - 1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "list_payload: cannot read %s\n", argv[argc - 1]);
        return 1;
    }
    const std::vector<std::uint8_t> packed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto inflated = qwp::archive::InflatePayload(packed.data(), packed.size());
    if (inflated.error != qwp::archive::InflateError::None) {
        std::fprintf(stderr, "list_payload: %s\n", qwp::archive::DescribeInflateError(inflated.error));
        return 1;
    }
    // The reader refuses every name that could leave the folder (absolute,
    // a drive, ".."), so an extracted entry always lands below it.
    const auto parsed = qwp::archive::ParseArchive(inflated.data.data(), inflated.data.size());
    if (parsed.error != qwp::archive::ParseError::None) {
        std::fprintf(stderr, "list_payload: %s at offset %zu\n", qwp::archive::DescribeParseError(parsed.error),
                     parsed.errorOffset);
        return 1;
    }
    for (const auto& entry : parsed.entries) {
        if (extract && !WriteEntry(argv[2], entry, inflated.data.data())) return 1;
        qwp::DateTimeParts p;
        qwp::DecodeDateTime(entry.date, p);
        std::printf("%10d  %04d-%02d-%02d %02d:%02d:%02d  %s\n", entry.size, p.year, p.month, p.day, p.hour,
                    p.minute, p.second, entry.name.c_str());
    }
    std::printf("%zu entries, %zu bytes compressed, %zu bytes inflated\n", parsed.entries.size(), packed.size(),
                inflated.data.size());
    return 0;
}
