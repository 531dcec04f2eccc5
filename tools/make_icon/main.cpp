// make_icon <icon source text> <output .ico or .png>: draws the program's icon from its text form,
// as a Windows icon or as a PNG for the desktop's menus, by the output's file name.
#include "ico_writer.h"
#include "icon_source.h"
#include "png_writer.h"

#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

namespace {

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::string outputPath = argc == 3 ? argv[2] : "";
    if (!endsWith(outputPath, ".ico") && !endsWith(outputPath, ".png")) {
        std::cerr << "usage: " << argv[0] << " <icon source text> <output .ico or .png>\n";
        return 2;
    }
    try {
        std::ifstream source(argv[1]);
        if (!source) throw std::runtime_error("cannot open the icon source");
        const Image image = readIconSource(source);
        const std::string encoded = endsWith(outputPath, ".png") ? encodePng(image) : encodeIco(image);
        std::ofstream output(outputPath, std::ios::binary | std::ios::trunc);
        if (!output.write(encoded.data(), static_cast<std::streamsize>(encoded.size())).flush())
            throw std::runtime_error("cannot write " + outputPath);
    } catch (const std::exception& error) {
        std::cerr << argv[1] << ": " << error.what() << '\n';
        return 1;
    }
    return 0;
}
