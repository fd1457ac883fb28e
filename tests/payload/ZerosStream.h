// A zlib stream of many zero bytes made without compressing them all: one
// deflate block of a mebibyte of zeros, ended by a full flush so that it
// refers to nothing before it, repeated, then an empty final block and the
// Adler-32 of the whole. About a thousand times smaller than its output.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <vector>

namespace qwp::test {

inline std::vector<std::uint8_t> ZerosStream(unsigned mebibytes) {
    constexpr uLong kBlock = 1 << 20;
    const std::vector<Bytef> zeros(kBlock, 0);
    std::vector<Bytef> block(compressBound(kBlock) + 64);
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    z.next_in = const_cast<Bytef*>(zeros.data());
    z.avail_in = kBlock;
    z.next_out = block.data();
    z.avail_out = static_cast<uInt>(block.size());
    deflate(&z, Z_FULL_FLUSH);
    block.resize(block.size() - z.avail_out);
    deflateEnd(&z);

    std::vector<std::uint8_t> stream = {0x78, 0xDA};
    stream.reserve(2 + block.size() * mebibytes + 6);
    const uLong blockAdler = adler32(adler32(0, nullptr, 0), zeros.data(), kBlock);
    uLong adler = adler32(0, nullptr, 0);
    for (unsigned i = 0; i < mebibytes; ++i) {
        stream.insert(stream.end(), block.begin(), block.end());
        adler = adler32_combine(adler, blockAdler, kBlock);
    }
    stream.push_back(0x03);  // the final block: fixed codes, only its end code
    stream.push_back(0x00);
    for (int shift = 24; shift >= 0; shift -= 8) stream.push_back(static_cast<std::uint8_t>(adler >> shift));
    return stream;
}

}  // namespace qwp::test
