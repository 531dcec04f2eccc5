#include "jet/page_file.h"

#include <fstream>
#include <iterator>

namespace kv::jet {

PageFile::PageFile(std::string path) : path_(std::move(path)) {
    std::ifstream in(path_, std::ios::binary);
    if (!in) throw FormatError("Cannot open " + path_ + ": the file does not exist or cannot be read");
    bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) throw FormatError("Cannot read " + path_);
}

PageFile::PageFile(std::string name, std::vector<std::uint8_t> bytes) : path_(std::move(name)), bytes_(std::move(bytes)) {}

ByteView PageFile::page(std::uint32_t number) const {
    if (number >= pageCount())
        throw FormatError(path_ + ": page " + std::to_string(number) + " is past the end of the file (" +
                          std::to_string(pageCount()) + " pages); the file is damaged or truncated");
    return ByteView(std::span(bytes_).subspan(number * format::kPageSize, format::kPageSize), path_, number);
}

ByteView PageFile::page(std::uint32_t number, format::PageType expected, const char* purpose) const {
    ByteView view = page(number);
    if (view.u8(0) != static_cast<std::uint8_t>(expected))
        throw FormatError(view.where() + " should hold " + purpose + " but is a page of another kind; the file is damaged");
    return view;
}

}  // namespace kv::jet
