// make_icon <icon source text> <output .ico>: draws the program's icon from its text form.
#include "ico_writer.h"
#include "icon_source.h"

#include <fstream>
#include <iostream>
#include <stdexcept>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::cerr << "usage: " << argv[0] << " <icon source text> <output .ico>\n";
        return 2;
    }
    try {
        std::ifstream source(argv[1]);
        if (!source) throw std::runtime_error("cannot open the icon source");
        const std::string ico = encodeIco(readIconSource(source));
        std::ofstream output(argv[2], std::ios::binary | std::ios::trunc);
        if (!output.write(ico.data(), static_cast<std::streamsize>(ico.size())).flush())
            throw std::runtime_error(std::string("cannot write ") + argv[2]);
    } catch (const std::exception& error) {
        std::cerr << argv[1] << ": " << error.what() << '\n';
        return 1;
    }
    return 0;
}
