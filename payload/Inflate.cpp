#include "payload/Inflate.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <limits>
#include <new>

namespace qwp::archive {
namespace {

constexpr std::size_t kMaxOutput = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
// zlib counts in 32-bit units; feeding it in pieces keeps every count exact.
constexpr std::size_t kMaxChunk = 1u << 30;
// The output buffer is reserved whole but taken into use a piece at a time,
// just before inflate writes there: memory the output never reaches is never
// touched, so it costs address space but no physical memory.
constexpr std::size_t kOutputPiece = 1u << 16;

class InflateStream {
public:
    InflateStream() { ok_ = inflateInit(&stream_) == Z_OK; }
    // A second stream in the state the first has reached, to run ahead of it.
    explicit InflateStream(z_stream& source) { ok_ = inflateCopy(&stream_, &source) == Z_OK; }
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

// One call of inflate on the next pieces of input and output; the counts
// advance by what it used and produced.
int InflateStep(z_stream& z, const std::uint8_t* compressed, std::size_t size, std::size_t& consumed,
                std::uint8_t* out, std::size_t outSize, std::size_t& produced) {
    const std::size_t inChunk = std::min(size - consumed, kMaxChunk);
    const std::size_t outChunk = std::min(outSize - produced, kMaxChunk);
    z.next_in = const_cast<Bytef*>(compressed + consumed);
    z.avail_in = static_cast<uInt>(inChunk);
    z.next_out = out + produced;
    z.avail_out = static_cast<uInt>(outChunk);
    const int status = inflate(&z, Z_NO_FLUSH);
    consumed += inChunk - z.avail_in;
    produced += outChunk - z.avail_out;
    return status;
}

InflateError ErrorOfStatus(int status) {
    if (status == Z_NEED_DICT || status == Z_DATA_ERROR || status == Z_STREAM_ERROR) return InflateError::Corrupt;
    if (status == Z_MEM_ERROR) return InflateError::OutOfMemory;
    return InflateError::None;
}

// Runs a copy of the stream to its end through a small scratch window: the
// whole size, and whether the rest of the stream is sound, are known before
// the buffer is enlarged for it. A tampered resource can claim gigabytes in
// a few kilobytes; it is refused here instead of exhausting the address
// space of a 32-bit process first.
InflateError MeasureRest(z_stream& live, const std::uint8_t* compressed, std::size_t size, std::size_t consumed,
                         std::size_t produced, std::size_t& total) {
    InflateStream copy(live);
    if (!copy.ok()) return InflateError::OutOfMemory;
    std::uint8_t window[1 << 16];
    total = produced;
    while (true) {
        std::size_t windowUsed = 0;
        const int status = InflateStep(copy.get(), compressed, size, consumed, window, sizeof window, windowUsed);
        total += windowUsed;
        if (total > kMaxOutput) return InflateError::TooLarge;
        if (status == Z_STREAM_END) break;
        if (const InflateError error = ErrorOfStatus(status); error != InflateError::None) return error;
        if (consumed == size && windowUsed < sizeof window) return InflateError::Truncated;
    }
    return consumed == size ? InflateError::None : InflateError::TrailingData;
}

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

namespace {

class Decompressor {
public:
    Decompressor() : d_(libdeflate_alloc_decompressor()) {}
    ~Decompressor() {
        if (d_) libdeflate_free_decompressor(d_);
    }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;
    libdeflate_decompressor* get() const { return d_; }

private:
    libdeflate_decompressor* d_;
};

// The whole stream in one call into the first buffer. False when that call
// fails for any reason (the result is then untouched): the streaming
// inflater then finds out why.
bool InflateInOneCall(const std::uint8_t* compressed, std::size_t size, InflateResult& result) {
    Decompressor decompressor;
    if (!decompressor.get()) return false;
    PayloadBytes buffer;
    try {
        buffer.resize(5 * size);  // left unwritten: the allocator does not zero it
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::size_t consumed = 0, produced = 0;
    const libdeflate_result status = libdeflate_zlib_decompress_ex(
        decompressor.get(), compressed, size, buffer.data(), buffer.size(), &consumed, &produced);
    if (status != LIBDEFLATE_SUCCESS || consumed != size || produced > kMaxOutput) return false;
    // Cut to what was produced, without moving it: the tail the output never
    // reached was never touched.
    buffer.resize(produced);
    result.data = std::move(buffer);
    return true;
}

InflateResult InflateStreaming(const std::uint8_t* compressed, std::size_t size);

}  // namespace

InflateResult InflatePayload(const std::uint8_t* compressed, std::size_t size, InflatePath path) {
    if (path == InflatePath::Fast && size != 0 && size <= kMaxOutput / 5) {
        InflateResult result;
        if (InflateInOneCall(compressed, size, result)) return result;
    }
    return InflateStreaming(compressed, size);
}

namespace {

InflateResult InflateStreaming(const std::uint8_t* compressed, std::size_t size) {
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

    std::size_t produced = 0;
    std::size_t consumed = 0;
    std::size_t buffer = 5 * size;
    bool measured = false;
    try {
        result.data.reserve(buffer);
        while (true) {
            if (produced == buffer && !measured) {
                // The first buffer is full. The rest is measured before any
                // further allocation, then the buffer grows once to the
                // whole size; `enlargements` still counts the steps of one
                // compressed size (rounded up to 256 bytes) it stands for.
                std::size_t total = 0;
                const InflateError error = MeasureRest(z, compressed, size, consumed, produced, total);
                if (error != InflateError::None) return fail(error);
                const std::size_t growth = RoundUpTo256(size);
                result.enlargements = static_cast<int>((total - produced + growth - 1) / growth);
                // reserve takes exactly what is asked; growing by resize
                // alone may double the capacity.
                buffer = total;
                result.data.reserve(buffer);
                measured = true;
            }
            result.data.resize(std::min(buffer, produced + kOutputPiece));
            const int status = InflateStep(z, compressed, size, consumed, result.data.data(), result.data.size(),
                                           produced);
            if (status == Z_STREAM_END) break;
            if (const InflateError error = ErrorOfStatus(status); error != InflateError::None) return fail(error);
            // Z_OK or Z_BUF_ERROR: with input left the output piece was
            // full; with none left the stream is cut short.
            if (consumed == size && z.avail_out != 0) return fail(InflateError::Truncated);
            // The measured copy reached its end in this much space; a live
            // stream that stops short of it differs from it.
            if (measured && status == Z_BUF_ERROR) return fail(InflateError::Corrupt);
        }
        if (produced > kMaxOutput) return fail(InflateError::TooLarge);
        if (consumed != size) return fail(InflateError::TrailingData);
        // Cut to what was produced, without moving it: a copy into a fitting
        // block would hold the whole payload twice for a moment, and the
        // reserved tail was never touched.
        result.data.resize(produced);
    } catch (const std::bad_alloc&) {
        return fail(InflateError::OutOfMemory);
    }
    return result;
}

}  // namespace

}  // namespace qwp::archive
