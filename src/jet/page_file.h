#pragma once
// The pages of a database file. The file is read once into memory; every page is handed out as a
// bounds-checked view, so a page number or offset from a damaged file can never reach past the data.
// A later state of the file can share the bytes of an earlier one and keep only the pages that
// differ, so that a commit does not copy a whole file to know it as it is now.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jet/bytes.h"
#include "jet/durable_io.h"
#include "jet/format.h"

namespace kv::jet {

// New contents of pages, by page number. Pages at or past the file's end make it grow.
using PageImages = std::map<std::uint32_t, std::vector<std::uint8_t>>;

class PageFile {
public:
    // Reads the whole file; a partial page at its end is never handed out. Throws FormatError when
    // the file cannot be read.
    explicit PageFile(std::string path);
    // Pages already in memory: a file read under a lock (with the identity of the file read), or
    // bytes that tests and tools build.
    PageFile(std::string name, std::vector<std::uint8_t> bytes,
             std::optional<durable_io::FileIdentity> identity = std::nullopt);

    const std::string& path() const { return path_; }
    // Which file the pages were read from, when they were read under a lock; a commit refuses to
    // write them into another file that has since taken the path's place.
    const std::optional<durable_io::FileIdentity>& identity() const { return identity_; }
    std::uint32_t pageCount() const { return pageCount_; }
    // Throws FormatError naming the page when it lies outside the file.
    ByteView page(std::uint32_t number) const;
    // The page, checked to be of the given type.
    ByteView page(std::uint32_t number, format::PageType expected, const char* purpose) const;

    // Puts the pages in, as a commit of them leaves the file (growing it for pages past its end).
    void apply(PageImages pages);
    // This file as it became: `pages` differ from this file's, and it now has `pageCount` pages.
    // The pages that did not change are shared with this file.
    PageFile changedTo(const PageImages& pages, std::uint32_t pageCount) const;

private:
    std::string path_;
    std::shared_ptr<const std::vector<std::uint8_t>> bytes_;
    std::map<std::uint32_t, std::vector<std::uint8_t>> changed_;  // pages that differ from bytes_
    std::uint32_t pageCount_;
    std::optional<durable_io::FileIdentity> identity_;
};

}  // namespace kv::jet
