// Inflating the embedded payload: one zlib stream, inflated whole into memory
// in a single pass.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace qwp::archive {

// An allocator whose resize leaves new bytes as they are instead of zeroing
// them: the payload buffer is written whole by the inflater, and zeroing a
// buffer of a few hundred megabytes first would cost as much as a good part
// of the inflation, and touch memory the output never reaches.
template <typename T>
struct UninitializedAllocator : std::allocator<T> {
    using std::allocator<T>::allocator;
    template <typename U>
    struct rebind {
        using other = UninitializedAllocator<U>;
    };
    template <typename U>
    void construct(U* place) noexcept {
        ::new (static_cast<void*>(place)) U;
    }
    template <typename U, typename... Args>
    void construct(U* place, Args&&... args) {
        ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
    }
};

using PayloadBytes = std::vector<std::uint8_t, UninitializedAllocator<std::uint8_t>>;

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
    PayloadBytes data;               // exactly the bytes produced; empty on error
    int enlargements = 0;            // steps of the compressed size (rounded up
                                     // to 256 bytes) the first buffer grew by
};

// Which inflater runs.
enum class InflatePath {
    Fast,       // libdeflate in one call into the first buffer; the streaming
                // inflater below when that call fails in any way
    Streaming,  // zlib's streaming inflater alone
};

// Inflates into a buffer of five times the compressed size, reserved but
// not written first. The fast path inflates the whole stream in one call;
// when it cannot (the buffer is too small, the stream is damaged, bytes
// follow its end) the streaming inflater decides, so every error is told
// exactly as it tells it.
//
// The streaming inflater starts with a buffer of five times the compressed size. When that is full
// before the stream ends, the rest of the stream is inflated once into a
// small scratch window to learn the whole size and check the rest: a stream
// that is damaged further on, or whose output would pass what a signed
// 32-bit entry offset can address, is refused before any more memory is
// taken. Otherwise the buffer grows once to the whole size and inflation
// carries on at the end of what it produced. The buffer ends up cut to the
// bytes produced (its capacity is left as it is: the part the output never
// reached was never touched, so it holds no physical memory).
InflateResult InflatePayload(const std::uint8_t* compressed, std::size_t size,
                             InflatePath path = InflatePath::Fast);

}  // namespace qwp::archive
