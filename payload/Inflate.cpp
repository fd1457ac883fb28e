#include "payload/Inflate.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <new>

namespace qwp::archive {
namespace {

constexpr std::size_t kMaxOutput = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
// zlib counts in 32-bit units; feeding it in pieces keeps every count exact.
constexpr std::size_t kMaxChunk = 1u << 30;

class InflateStream {
public:
    InflateStream() { ok_ = inflateInit(&stream_) == Z_OK; }
    ~InflateStream() {
        if (ok_) inflateEnd(&stream_);
    }
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;
    bool ok() const { return ok_; }
    z_stream& get() { return stream_; }

private:
    z_stream stream_{};
    bool ok_ = false;
};

std::size_t RoundUpTo256(std::size_t n) { return (n + 255) / 256 * 256; }

}  // namespace

const char* DescribeInflateError(InflateError error) {
    switch (error) {
        case InflateError::None: return "no error";
        case InflateError::Empty: return "the payload resource is empty";
        case InflateError::Corrupt: return "the payload stream is corrupt";
        case InflateError::Truncated: return "the payload stream is truncated";
        case InflateError::TrailingData: return "bytes follow the end of the payload stream";
        case InflateError::TooLarge: return "the inflated payload is too large";
        case InflateError::OutOfMemory: return "out of memory while inflating the payload";
    }
    return "unknown error";
}

InflateResult InflatePayload(const std::uint8_t* compressed, std::size_t size) {
    InflateResult result;
    auto fail = [&result](InflateError error) {
        result.error = error;
        result.data = {};
        return result;
    };
    if (size == 0) return fail(InflateError::Empty);
    if (size > kMaxOutput / 5) return fail(InflateError::TooLarge);

    InflateStream stream;
    if (!stream.ok()) return fail(InflateError::OutOfMemory);
    z_stream& z = stream.get();

    const std::size_t growth = RoundUpTo256(size);
    std::size_t produced = 0;
    std::size_t consumed = 0;
    try {
        result.data.resize(5 * size);
        while (true) {
            if (produced == result.data.size()) {
                if (result.data.size() >= kMaxOutput) return fail(InflateError::TooLarge);
                result.data.resize(result.data.size() + growth);
                ++result.enlargements;
            }
            const std::size_t inChunk = std::min(size - consumed, kMaxChunk);
            const std::size_t outChunk = std::min(result.data.size() - produced, kMaxChunk);
            z.next_in = const_cast<Bytef*>(compressed + consumed);
            z.avail_in = static_cast<uInt>(inChunk);
            z.next_out = result.data.data() + produced;
            z.avail_out = static_cast<uInt>(outChunk);
            const int status = inflate(&z, Z_NO_FLUSH);
            consumed += inChunk - z.avail_in;
            produced += outChunk - z.avail_out;
            if (status == Z_STREAM_END) break;
            if (status == Z_NEED_DICT || status == Z_DATA_ERROR || status == Z_STREAM_ERROR)
                return fail(InflateError::Corrupt);
            if (status == Z_MEM_ERROR) return fail(InflateError::OutOfMemory);
            // Z_OK or Z_BUF_ERROR: with input left the output was full; with
            // none left the stream is cut short.
            if (consumed == size && z.avail_out != 0) return fail(InflateError::Truncated);
        }
        if (produced > kMaxOutput) return fail(InflateError::TooLarge);
        if (consumed != size) return fail(InflateError::TrailingData);
        result.data.resize(produced);
        result.data.shrink_to_fit();
    } catch (const std::bad_alloc&) {
        return fail(InflateError::OutOfMemory);
    }
    return result;
}

}  // namespace qwp::archive
