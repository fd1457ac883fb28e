// The payload catalogue: the embedded archive inflated once into memory and
// split into its entries. It lives for the whole run and also owns the install
// plan that is made from it (the six copy groups and the list of shared files
// for the update log).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
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

// One planned copy of an entry.
class TFileToInstall {
public:
    TAttachedFile* Entry = nullptr;  // not owned
    std::string Destination;
    bool Logged = false;
};

constexpr int kComponentCount = 6;

// Thrown when the embedded payload is missing or damaged. The catalogue is
// then not made at all: there is never a partial one.
class PayloadDamaged : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TAttachedFiles {
public:
    // Reads the "FILES" resource of type "FILES" from the program's module.
    TAttachedFiles();
    // Builds the catalogue from a zlib stream held elsewhere.
    TAttachedFiles(const std::uint8_t* compressed, std::size_t size);
    virtual ~TAttachedFiles();

    TAttachedFiles(const TAttachedFiles&) = delete;
    TAttachedFiles& operator=(const TAttachedFiles&) = delete;

    std::vector<std::uint8_t> Data;
    std::int32_t DataSize = 0;
    std::vector<std::unique_ptr<TAttachedFile>> Entries;
    std::array<std::vector<std::unique_ptr<TFileToInstall>>, kComponentCount> Groups;
    std::vector<std::string> SharedUpdateList;
    bool ForceReplace = false;

    // How often the first inflation buffer had to grow (0 for the shipped
    // payload, whose compression ratio is under 5).
    int Enlargements = 0;

private:
    void Build(const std::uint8_t* compressed, std::size_t size);
};

// The one catalogue of the run, set by the setup driver.
extern TAttachedFiles* AttachedFiles;

}  // namespace qwp
