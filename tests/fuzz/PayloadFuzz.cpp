// Feeds arbitrary bytes to the payload reader, both as a compressed stream
// and as an inflated archive. Every entry it accepts must lie inside the
// buffer and carry a safe name.
#include "payload/ArchiveFormat.h"
#include "payload/Inflate.h"

#include <cstdlib>

namespace {

void CheckArchive(const std::uint8_t* data, std::size_t size) {
    const qwp::archive::ParseResult parsed = qwp::archive::ParseArchive(data, size);
    if (parsed.error != qwp::archive::ParseError::None) {
        if (!parsed.entries.empty()) std::abort();
        return;
    }
    std::size_t expectedOffset = 0;
    for (const auto& entry : parsed.entries) {
        expectedOffset += qwp::archive::kEntryFixedBytes + entry.name.size();
        if (entry.offset < 0 || entry.size < 0) std::abort();
        if (static_cast<std::size_t>(entry.offset) != expectedOffset) std::abort();
        if (static_cast<std::size_t>(entry.offset) + static_cast<std::size_t>(entry.size) > size) std::abort();
        if (!qwp::archive::IsSafeEntryName(entry.name)) std::abort();
        expectedOffset += static_cast<std::size_t>(entry.size);
    }
    if (expectedOffset != size) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckArchive(data, size);
    // Both inflaters: the fast one (which hands any failure to the streaming
    // one) and the streaming one alone must agree byte for byte and error
    // for error.
    using qwp::archive::InflatePath;
    const qwp::archive::InflateResult inflated = qwp::archive::InflatePayload(data, size, InflatePath::Fast);
    const qwp::archive::InflateResult streamed = qwp::archive::InflatePayload(data, size, InflatePath::Streaming);
    if (inflated.error != streamed.error || inflated.data != streamed.data) std::abort();
    if (inflated.error == qwp::archive::InflateError::None) CheckArchive(inflated.data.data(), inflated.data.size());
    else if (!inflated.data.empty()) std::abort();
    return 0;
}
