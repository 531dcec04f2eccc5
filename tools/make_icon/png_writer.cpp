#include "png_writer.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

void putBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

std::uint32_t crc32(const std::string& bytes) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
        return entries;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::uint32_t adler32(const std::string& bytes) {
    std::uint32_t a = 1, b = 0;
    for (unsigned char byte : bytes) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

// A chunk's CRC covers its type and its data, not its length.
void putChunk(std::string& out, const std::string& type, const std::string& data) {
    putBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::string typed = type + data;
    out += typed;
    putBigEndian(out, crc32(typed));
}

// A zlib stream of stored deflate blocks, each at most 65 535 bytes, the last one marked final.
std::string storedZlib(const std::string& raw) {
    constexpr std::size_t kMaxBlock = 0xFFFF;
    std::string out{"\x78\x01", 2};  // deflate, 32 KiB window, no preset dictionary
    std::size_t offset = 0;
    do {
        const std::size_t length = std::min(kMaxBlock, raw.size() - offset);
        const bool last = offset + length == raw.size();
        out.push_back(last ? 1 : 0);
        const auto len = static_cast<std::uint16_t>(length);
        const auto notLen = static_cast<std::uint16_t>(~len);
        out += {static_cast<char>(len & 0xFF), static_cast<char>(len >> 8), static_cast<char>(notLen & 0xFF),
                static_cast<char>(notLen >> 8)};
        out.append(raw, offset, length);
        offset += length;
    } while (offset < raw.size());
    putBigEndian(out, adler32(raw));
    return out;
}

}  // namespace

std::string encodePng(const Image& image) {
    std::string header;
    putBigEndian(header, static_cast<std::uint32_t>(image.width));
    putBigEndian(header, static_cast<std::uint32_t>(image.height));
    header += {8, 6, 0, 0, 0};  // 8 bits a sample, RGBA, deflate, adaptive filters, not interlaced

    // Each row starts with its filter type, 0: the bytes as they are.
    std::string raw;
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < image.width; ++x) {
            const Rgba& pixel = image.pixels[static_cast<std::size_t>(y * image.width + x)];
            raw += {static_cast<char>(pixel.red), static_cast<char>(pixel.green), static_cast<char>(pixel.blue),
                    static_cast<char>(pixel.alpha)};
        }
    }

    std::string out{"\x89PNG\r\n\x1A\n", 8};
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", storedZlib(raw));
    putChunk(out, "IEND", "");
    return out;
}
