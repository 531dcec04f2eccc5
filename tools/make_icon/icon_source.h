#pragma once
// Reads the text form of an icon: "color <character> <#RRGGBB | none>" lines, then "pixels"
// and one line of characters per row of the image, top row first. Lines starting with "#" are
// comments.

#include <cstdint>
#include <istream>
#include <vector>

struct Rgba {
    std::uint8_t red = 0, green = 0, blue = 0, alpha = 0;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels;  // row by row, top row first
};

// Throws std::runtime_error naming the line for anything it does not understand.
Image readIconSource(std::istream& source);
