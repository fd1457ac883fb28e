#include "payload/AttachFiles.h"

#include "instutils/InstUtils.h"
#include "payload/ArchiveFormat.h"
#include "payload/Inflate.h"

#include <windows.h>

#include <utility>

namespace qwp {

namespace {

const char kPayloadResourceName[] = "FILES";
const char kPayloadResourceType[] = "FILES";

}  // namespace

InflatedPayload InflateOwnPayload() {
    InflatedPayload payload;
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(self, kPayloadResourceName, kPayloadResourceType);
    if (!info) {
        payload.missing = "the payload resource is missing";
        return payload;
    }
    const DWORD size = SizeofResource(self, info);
    HGLOBAL loaded = LoadResource(self, info);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) {
        payload.missing = "the payload resource cannot be loaded";
        return payload;
    }
    payload.inflated = archive::InflatePayload(static_cast<const std::uint8_t*>(bytes), size);
    return payload;
}

TAttachedFiles::TAttachedFiles() : TAttachedFiles(InflateOwnPayload()) {}

TAttachedFiles::TAttachedFiles(InflatedPayload payload) {
    if (payload.missing) throw PayloadDamaged(payload.missing);
    Build(std::move(payload.inflated));
}

TAttachedFiles::TAttachedFiles(const std::uint8_t* compressed, std::size_t size) {
    Build(archive::InflatePayload(compressed, size));
}

void TAttachedFiles::Build(archive::InflateResult inflated) {
    // Running out of memory is no fault of the download.
    if (inflated.error == archive::InflateError::OutOfMemory) throw std::bad_alloc();
    if (inflated.error != archive::InflateError::None)
        throw PayloadDamaged(archive::DescribeInflateError(inflated.error));
    archive::ParseResult parsed = archive::ParseArchive(inflated.data.data(), inflated.data.size());
    if (parsed.error != archive::ParseError::None)
        throw PayloadDamaged(archive::DescribeParseError(parsed.error));

    Data = std::move(inflated.data);
    DataSize = static_cast<std::int32_t>(Data.size());  // the parser refuses more than 2 GB
    Enlargements = inflated.enlargements;
    Entries.reserve(parsed.entries.size());
    for (archive::EntryRecord& record : parsed.entries) {
        auto entry = std::make_unique<TAttachedFile>();
        entry->Name = std::move(record.name);
        entry->Size = record.size;
        entry->Date = record.date;
        entry->Offset = record.offset;
        Entries.push_back(std::move(entry));
    }
}

TAttachedFiles::~TAttachedFiles() {
    Data.clear();
    Data.shrink_to_fit();
    while (!Entries.empty()) Entries.pop_back();
    // The run's temporary files, and any an earlier run left behind.
    CleanTempFiles();
}

}  // namespace qwp
