#pragma once
// The pages of a database file. The file is read once into memory; every page is handed out as a
// bounds-checked view, so a page number or offset from a damaged file can never reach past the data.

#include <cstdint>
#include <string>
#include <vector>

#include "jet/bytes.h"
#include "jet/format.h"

namespace kv::jet {

class PageFile {
public:
    // Reads the whole file; a partial page at its end is never handed out. Throws FormatError when
    // the file cannot be read.
    explicit PageFile(std::string path);
    // Pages already in memory: a file read under a lock, or bytes that tests and tools build.
    PageFile(std::string name, std::vector<std::uint8_t> bytes);

    const std::string& path() const { return path_; }
    std::uint32_t pageCount() const { return static_cast<std::uint32_t>(bytes_.size() / format::kPageSize); }
    // Throws FormatError naming the page when it lies outside the file.
    ByteView page(std::uint32_t number) const;
    // The page, checked to be of the given type.
    ByteView page(std::uint32_t number, format::PageType expected, const char* purpose) const;

private:
    std::string path_;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace kv::jet
