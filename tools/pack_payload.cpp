// Builds the setup's payload from an ordered manifest.
//
//   pack_payload --manifest sample/manifest.tsv --root sample/files
//                --qwp build/win32/qwp.exe --out build/win32/payload/payload.bin
//
// Manifest lines are "name<TAB>source<TAB>YYYY-MM-DD HH:MM:SS" in payload
// order; '#' starts a comment line. The source "@qwp" stands for the built
// word processor given with --qwp. Time stamps are local time, written into
// the payload as date-time doubles. The output is one zlib stream at maximum
// compression, so the same inputs always give the same bytes.
#include "instutils/DateTime.h"
#include "payload/ArchiveFormat.h"

#include <zlib.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Options {
    std::string manifest, root, qwp, out;
};

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "pack_payload: %s\n", message.c_str());
    std::exit(1);
}

bool ReadFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

// Files get their times at two-second resolution; a stamp on an odd second
// could never compare equal to the file written from it, and every reinstall
// would replace that file again.
bool ParseTimestamp(const std::string& text, double& value) {
    qwp::DateTimeParts p;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &p.year, &p.month, &p.day, &p.hour,
                    &p.minute, &p.second, &tail) != 6)
        return false;
    return p.second % 2 == 0 && p.year >= 1980 && p.year <= 2099 && qwp::EncodeDateTime(p, value);
}

std::string UpperAscii(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool HasDotDotComponent(const std::string& name) {
    std::string padded = "\\" + name + "\\";
    for (char& c : padded)
        if (c == '/') c = '\\';
    return padded.find("\\..\\") != std::string::npos;
}

// The reasons a manifest name is refused, most specific first, so the build
// says what to fix.
std::string NameProblem(const std::string& name) {
    if (name.size() > qwp::archive::kMaxNameLength)
        return "is longer than 255 bytes (" + std::to_string(name.size()) + ")";
    if (!name.empty() && (name[0] == '\\' || name[0] == '/')) return "is an absolute path";
    if (name.size() >= 2 && name[1] == ':') return "carries a drive";
    if (name.find(':') != std::string::npos) return "contains a colon";
    if (HasDotDotComponent(name)) return "has a \"..\" component";
    if (!qwp::archive::IsSafeEntryName(name)) return "is not a name Windows stores as given";
    return {};
}

Options ParseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string key = argv[i];
        if (key == "--manifest") o.manifest = argv[i + 1];
        else if (key == "--root") o.root = argv[i + 1];
        else if (key == "--qwp") o.qwp = argv[i + 1];
        else if (key == "--out") o.out = argv[i + 1];
        else Fail("unknown option " + key);
    }
    if (o.manifest.empty() || o.root.empty() || o.out.empty())
        Fail("usage: pack_payload --manifest FILE --root DIR [--qwp EXE] --out FILE");
    return o;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    std::ifstream manifest(options.manifest);
    if (!manifest) Fail("cannot read " + options.manifest);

    std::vector<std::uint8_t> archive;
    std::set<std::string> seen;
    std::string line;
    int lineNumber = 0, entries = 0;
    while (std::getline(manifest, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const std::string where = options.manifest + ":" + std::to_string(lineNumber) + ": ";
        const auto fields = SplitTabs(line);
        if (fields.size() != 3) Fail(where + "expected name, source and time stamp separated by tabs");
        const std::string& name = fields[0];
        if (std::string problem = NameProblem(name); !problem.empty())
            Fail(where + "entry name \"" + name + "\" " + problem);
        if (!seen.insert(UpperAscii(name)).second)
            Fail(where + "entry name \"" + name + "\" is a duplicate (ignoring case)");
        double date = 0;
        if (!ParseTimestamp(fields[2], date))
            Fail(where + "bad time stamp \"" + fields[2] + "\" (want YYYY-MM-DD HH:MM:SS, even seconds, 1980-2099)");

        std::string source = fields[1] == "@qwp" ? options.qwp : options.root + "/" + fields[1];
        if (source.empty()) Fail(where + "@qwp used without --qwp");
        std::vector<std::uint8_t> bytes;
        if (!ReadFile(source, bytes)) Fail(where + "cannot read " + source);
        qwp::archive::AppendEntry(archive, name, date, bytes.data(), bytes.size());
        ++entries;
        if (archive.size() > 0x7fffffffu) Fail("the payload exceeds 2 GB");
    }

    uLongf compressedSize = compressBound(archive.size());
    std::vector<std::uint8_t> compressed(compressedSize);
    if (compress2(compressed.data(), &compressedSize, archive.data(), archive.size(), Z_BEST_COMPRESSION) != Z_OK)
        Fail("compression failed");
    compressed.resize(compressedSize);

    std::ofstream out(options.out, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(compressed.data()), static_cast<std::streamsize>(compressed.size()));
    out.close();
    if (!out) Fail("cannot write " + options.out);
    std::printf("pack_payload: %d entries, %zu bytes inflated, %zu bytes compressed\n", entries,
                archive.size(), compressed.size());
    return 0;
}
