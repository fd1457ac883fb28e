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
    int enlargements = 0;            // steps of the compressed size (rounded up
                                     // to 256 bytes) the first buffer grew by
};

// Starts with a buffer of five times the compressed size. When that is full
// before the stream ends, the rest of the stream is inflated once into a
// small scratch window to learn the whole size and check the rest: a stream
// that is damaged further on, or whose output would pass what a signed
// 32-bit entry offset can address, is refused before any more memory is
// taken. Otherwise the buffer grows once to the whole size and inflation
// carries on at the end of what it produced. The buffer ends up cut to the
// bytes produced (its capacity is left as it is: the part the output never
// reached was never touched, so it holds no physical memory).
InflateResult InflatePayload(const std::uint8_t* compressed, std::size_t size);

}  // namespace qwp::archive
