#include "icon_source.h"

#include <map>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

std::runtime_error errorAt(int lineNumber, const std::string& what) {
    return std::runtime_error("line " + std::to_string(lineNumber) + ": " + what);
}

Rgba parseColor(const std::string& text, int lineNumber) {
    if (text == "none") return {};
    if (text.size() != 7 || text[0] != '#') throw errorAt(lineNumber, "colour must be #RRGGBB or none");
    std::size_t used = 0;
    unsigned long value = std::stoul(text.substr(1), &used, 16);
    if (used != 6) throw errorAt(lineNumber, "colour must be #RRGGBB or none");
    return {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value), 255};
}

}  // namespace

Image readIconSource(std::istream& source) {
    std::map<char, Rgba> palette;
    Image image;
    bool inPixels = false;
    std::string line;
    for (int lineNumber = 1; std::getline(source, line); ++lineNumber) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!inPixels) {
            if (line.empty() || line[0] == '#') continue;
            if (line == "pixels") {
                inPixels = true;
                continue;
            }
            std::istringstream words(line);
            std::string keyword, key, color;
            if (!(words >> keyword >> key >> color) || keyword != "color" || key.size() != 1)
                throw errorAt(lineNumber, "expected \"color <character> <colour>\" or \"pixels\"");
            palette[key[0]] = parseColor(color, lineNumber);
            continue;
        }
        if (line.empty()) continue;
        if (image.width == 0) image.width = static_cast<int>(line.size());
        if (static_cast<int>(line.size()) != image.width) throw errorAt(lineNumber, "rows differ in length");
        for (char pixel : line) {
            auto color = palette.find(pixel);
            if (color == palette.end()) throw errorAt(lineNumber, std::string("no colour for '") + pixel + "'");
            image.pixels.push_back(color->second);
        }
        ++image.height;
    }
    if (image.height == 0) throw std::runtime_error("the icon has no pixels");
    if (image.width > 256 || image.height > 256) throw std::runtime_error("an icon is at most 256 x 256");
    return image;
}
