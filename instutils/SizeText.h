// Byte counts as the components page shows them, and the rounding of a file
// size to whole clusters. Pure arithmetic, no Windows API.
#pragma once

#include <cstdint>
#include <string>

namespace qwp {

// Decimal digits with one blank between groups of three, counted from the
// right: 1234567 gives "1 234 567". The callers hand over 32-bit counts; the
// wider parameter lets FormatSize group the megabytes of any 64-bit size.
std::string FormatGrouped(std::int64_t number);

// "N MB" from 16 MB less one byte upwards, and for a whole number of
// megabytes below that; "N KB" (truncated) otherwise. Megabytes are rounded
// to the nearest whole number, a half going to the even neighbour.
std::string FormatSize(std::int64_t bytes);

// bytes / 1 MB rounded to the nearest integer, halves to even.
std::int64_t RoundedMegabytes(std::int64_t bytes);

// The size rounded up to a whole number of clusters (a multiple, zero
// included, stays as it is; the remainder takes the sign of the size). A
// cluster size below 1 leaves the size unchanged. A result beyond the 32-bit
// range saturates at its largest value instead of wrapping negative.
std::int32_t RoundUpToClusters(std::int32_t size, std::int32_t clusterSize);

}  // namespace qwp
