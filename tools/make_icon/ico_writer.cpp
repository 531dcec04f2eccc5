#include "ico_writer.h"

#include <cstdint>

namespace {

void putLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

constexpr std::uint32_t kDirectorySize = 6 + 16;  // ICONDIR and one ICONDIRENTRY
constexpr std::uint32_t kInfoHeaderSize = 40;     // BITMAPINFOHEADER

}  // namespace

std::string encodeIco(const Image& image) {
    const auto width = static_cast<std::uint32_t>(image.width);
    const auto height = static_cast<std::uint32_t>(image.height);
    const std::uint32_t maskRowBytes = (width + 31) / 32 * 4;
    const std::uint32_t imageBytes = kInfoHeaderSize + width * height * 4 + maskRowBytes * height;

    std::string out;
    putLittleEndian(out, 0, 2);            // reserved
    putLittleEndian(out, 1, 2);            // type: icon
    putLittleEndian(out, 1, 2);            // one image
    putLittleEndian(out, width % 256, 1);  // 0 stands for 256
    putLittleEndian(out, height % 256, 1);
    putLittleEndian(out, 0, 1);   // no colour table
    putLittleEndian(out, 0, 1);   // reserved
    putLittleEndian(out, 1, 2);   // planes
    putLittleEndian(out, 32, 2);  // bits per pixel
    putLittleEndian(out, imageBytes, 4);
    putLittleEndian(out, kDirectorySize, 4);

    // The bitmap's height counts the colour rows and the mask rows together.
    putLittleEndian(out, kInfoHeaderSize, 4);
    putLittleEndian(out, width, 4);
    putLittleEndian(out, height * 2, 4);
    putLittleEndian(out, 1, 2);
    putLittleEndian(out, 32, 2);
    putLittleEndian(out, 0, 4);  // uncompressed
    putLittleEndian(out, width * height * 4 + maskRowBytes * height, 4);
    for (int unused = 0; unused < 4; ++unused) putLittleEndian(out, 0, 4);

    // Rows go bottom up, pixels as blue, green, red, alpha.
    for (int y = image.height - 1; y >= 0; --y)
        for (int x = 0; x < image.width; ++x) {
            const Rgba& pixel = image.pixels[static_cast<std::size_t>(y * image.width + x)];
            out += {static_cast<char>(pixel.blue), static_cast<char>(pixel.green), static_cast<char>(pixel.red),
                    static_cast<char>(pixel.alpha)};
        }
    // The mask has a set bit for every transparent pixel, for readers that ignore alpha.
    for (int y = image.height - 1; y >= 0; --y) {
        std::string row(maskRowBytes, '\0');
        for (int x = 0; x < image.width; ++x)
            if (image.pixels[static_cast<std::size_t>(y * image.width + x)].alpha == 0)
                row[static_cast<std::size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
        out += row;
    }
    return out;
}
