// The payload catalogue: the embedded archive inflated once into memory and
// split into its entries. It lives for the whole run and does not change once
// loaded; the install plan made from it is an object of its own
// (payload/InstallPlan.h).
#pragma once

#include "instutils/Files.h"
#include "instutils/SetupError.h"
#include "payload/Inflate.h"
#include "payload/InstallFrontEnd.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qwp {

// One payload entry. Its bytes stay in the catalogue's buffer.
class TAttachedFile {
public:
    std::string Name;
    std::int32_t Size = 0;
    double Date = 0.0;
    std::int32_t Offset = 0;  // of the first data byte within the inflated payload
};

constexpr int kComponentCount = 6;

// Thrown when the embedded payload is missing or damaged. The catalogue is
// then not made at all: there is never a partial one.
class PayloadDamaged : public SetupError {
public:
    using SetupError::SetupError;
};

// The program's own payload resource inflated but not yet read: the part of
// making the catalogue that takes time, which a run may do early on a thread
// of its own. Writes nothing.
struct InflatedPayload {
    archive::InflateResult inflated;
    const char* missing = nullptr;  // why the resource could not be had
};
// Inflates the "FILES" resource of type "FILES" of the program's module.
InflatedPayload InflateOwnPayload();

class TAttachedFiles {
public:
    // Reads the "FILES" resource of type "FILES" from the program's module.
    TAttachedFiles();
    // The catalogue of the program's payload inflated beforehand.
    explicit TAttachedFiles(InflatedPayload payload);
    // Builds the catalogue from a zlib stream held elsewhere.
    TAttachedFiles(const std::uint8_t* compressed, std::size_t size);
    virtual ~TAttachedFiles();

    TAttachedFiles(const TAttachedFiles&) = delete;
    TAttachedFiles& operator=(const TAttachedFiles&) = delete;

    archive::PayloadBytes Data;
    std::int32_t DataSize = 0;
    std::vector<std::unique_ptr<TAttachedFile>> Entries;

    // The disk space in bytes that the entries named by a size pattern text
    // (lines separated by CR, LF or both) take in the destination folder,
    // each rounded up to whole clusters of its volume.
    std::int32_t ComponentSize(const std::string& patternText, const std::string& destinationFolder) const;
    // The same with the cluster size given: whoever sums several components
    // asks the volume once.
    std::int32_t ComponentSizeOnClusters(const std::string& patternText, std::int32_t clusterSize) const;

    // Writes one entry (or, when entry is null, the last entry whose name
    // equals name) to destination with its stored time stamp and logs it. A
    // failure asks the front end to abort, retry or ignore: false after
    // Abort, true after success or Ignore.
    bool ExtractEntry(const TAttachedFile* entry, const std::string& name, const std::string& destination,
                      InstallFrontEnd& frontEnd) const;

    // Marks the start and the end of the install run's copies, which go
    // folder by folder into folders nobody else makes or removes meanwhile:
    // in between, a folder is asked about once (see FolderSeries).
    void BeginCopySeries() const;
    void EndCopySeries() const;

    // The last entry whose name equals the one given, ignoring case; null
    // when there is none.
    const TAttachedFile* FindEntry(const std::string& name) const;

    // How often the first inflation buffer had to grow (0 for the shipped
    // payload, whose compression ratio is under 5).
    int Enlargements = 0;

private:
    bool WriteEntryOnce(const TAttachedFile& entry, const std::string& destination, bool onNetwork) const;
    bool OnNetwork(const std::string& folder) const;
    void MakeFolders(const std::string& folder) const;

    void Build(archive::InflateResult inflated);

    // The folder of the last copy that succeeded: a note of the writer, not
    // part of the catalogue's content. Copies come folder by folder, so
    // checking the folder again for each file would only repeat work; a
    // failed attempt forgets it, and its retry checks again.
    mutable std::string lastFolderMade_;
    // The folders of the copy series under way, if one is.
    mutable FolderSeries folders_;
    mutable bool inSeries_ = false;
    // Whether the drive last asked about is a network drive.
    mutable std::string networkAskedFor_;
    mutable bool networkAnswer_ = false;
};

// The text that tells the user a file could not be written.
std::string CannotCreateFileMessage(const std::string& destination);

}  // namespace qwp
