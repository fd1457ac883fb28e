// Inflating the embedded payload: one zlib stream, inflated whole into memory
// in a single pass.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qwp::archive {

enum class InflateError {
    None,
    Empty,         // no bytes at all: there is no stream
    Corrupt,       // not a zlib stream, bad deflate data or a failed Adler-32
    Truncated,     // the input ends before the stream does
    TrailingData,  // bytes follow the end of the stream
    TooLarge,      // the output would not fit a signed 32-bit size
    OutOfMemory,
};

const char* DescribeInflateError(InflateError error);

struct InflateResult {
    InflateError error = InflateError::None;
    std::vector<std::uint8_t> data;  // exactly the bytes produced; empty on error
    int enlargements = 0;            // how often the first buffer had to grow
};

// Starts with a buffer of five times the compressed size; whenever inflation
// stops short of the stream's end with the buffer full, the buffer grows by
// the compressed size rounded up to a multiple of 256 bytes and inflation
// carries on at the end of what it produced. At the end the buffer is cut to
// the bytes produced.
InflateResult InflatePayload(const std::uint8_t* compressed, std::size_t size);

}  // namespace qwp::archive
