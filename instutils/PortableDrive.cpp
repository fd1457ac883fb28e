#include "instutils/PortableDrive.h"

#include "instutils/Handles.h"
#include "instutils/PathText.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace qwp {
namespace {

// IOCTL_STORAGE_QUERY_PROPERTY and its two records, written out here with
// their layout checked, so that the 548-byte answer buffer is one record
// whose fields sit where the driver writes them in 32- and 64-bit builds
// alike (the SDK's descriptor ends in a one-byte array instead).
constexpr DWORD kIoctlStorageQueryProperty = 0x2D1400;
constexpr std::uint32_t kStorageDeviceProperty = 0;
constexpr std::uint32_t kPropertyStandardQuery = 0;
constexpr std::uint32_t kBusType1394 = 4;
constexpr std::uint32_t kBusTypeUsb = 7;
constexpr DWORD kDescriptorBufferSize = 548;

struct StoragePropertyQuery {
    std::uint32_t propertyId;
    std::uint32_t queryType;
    std::uint8_t additionalParameters[1];
};
static_assert(sizeof(StoragePropertyQuery) == 12, "the query record is 12 bytes");
static_assert(offsetof(StoragePropertyQuery, queryType) == 4, "QueryType at 4");
static_assert(offsetof(StoragePropertyQuery, additionalParameters) == 8, "AdditionalParameters at 8");

struct StorageDeviceDescriptor {
    std::uint32_t version;
    std::uint32_t size;
    std::uint8_t deviceType;
    std::uint8_t deviceTypeModifier;
    std::uint8_t removableMedia;
    std::uint8_t commandQueueing;
    std::uint32_t vendorIdOffset;
    std::uint32_t productIdOffset;
    std::uint32_t productRevisionOffset;
    std::uint32_t serialNumberOffset;
    std::uint32_t busType;
    std::uint32_t rawPropertiesLength;
    std::uint8_t rawDeviceProperties[kDescriptorBufferSize - 36];
};
static_assert(sizeof(StorageDeviceDescriptor) == kDescriptorBufferSize, "the answer buffer is 548 bytes");
static_assert(offsetof(StorageDeviceDescriptor, size) == 4, "Size at 4");
static_assert(offsetof(StorageDeviceDescriptor, removableMedia) == 10, "RemovableMedia at 10");
static_assert(offsetof(StorageDeviceDescriptor, busType) == 28, "BusType at 28");
static_assert(offsetof(StorageDeviceDescriptor, rawDeviceProperties) == 36, "raw properties from 36");

bool DeviceLooksPortable(const std::string& drive) {
    const std::string device = "\\\\.\\" + drive;
    UniqueFile volume(CreateFileA(device.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!volume) return false;

    StoragePropertyQuery query;
    std::memset(&query, 0, sizeof query);
    query.propertyId = kStorageDeviceProperty;
    query.queryType = kPropertyStandardQuery;
    StorageDeviceDescriptor descriptor;
    std::memset(&descriptor, 0, sizeof descriptor);
    descriptor.size = kDescriptorBufferSize;

    DWORD returned = 0;
    if (!DeviceIoControl(volume.get(), kIoctlStorageQueryProperty, &query, sizeof query, &descriptor,
                         sizeof descriptor, &returned, nullptr))
        return false;
    return descriptor.busType == kBusType1394 || descriptor.busType == kBusTypeUsb ||
           descriptor.removableMedia != 0;
}

}  // namespace

unsigned DriveTypeOf(const std::string& path) {
    std::string root = DrivePart(path);
    // GetDriveTypeA("") would answer for the current directory's drive,
    // which is not the drive of this path.
    if (root.empty()) return DRIVE_NO_ROOT_DIR;
    AddTrailingBackslash(root);
    return GetDriveTypeA(root.c_str());
}

bool IsPortableLocation(const std::string& path) {
    const unsigned type = DriveTypeOf(path);
    if (type == DRIVE_REMOVABLE) return true;
    if (type != DRIVE_FIXED) return false;
    return DeviceLooksPortable(DrivePart(path));
}

}  // namespace qwp
