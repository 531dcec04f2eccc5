#include "jet/page_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <span>

namespace kv::jet {

PageFile::PageFile(std::string path) : path_(std::move(path)) {
    std::ifstream in(path_, std::ios::binary);
    if (!in) throw FormatError("Cannot open " + path_ + ": the file does not exist or cannot be read");
    // A folder opens as a stream too, with a size that is no size.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path_, error)) throw FormatError("Cannot read " + path_ + ": it is not a file");
    // In one read of its known size: taken byte by byte, a file of 10 MB cost more than reading
    // all its rows.
    const std::uintmax_t size = std::filesystem::file_size(path_, error);
    if (error) throw FormatError("Cannot read " + path_ + ": " + error.message());
    std::vector<std::uint8_t> bytes(size);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    if (static_cast<std::uintmax_t>(in.gcount()) != size) throw FormatError("Cannot read " + path_);
    pageCount_ = static_cast<std::uint32_t>(bytes.size() / format::kPageSize);
    bytes_ = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
}

PageFile::PageFile(std::string name, std::vector<std::uint8_t> bytes, std::optional<durable_io::FileIdentity> identity)
    : path_(std::move(name)),
      pageCount_(static_cast<std::uint32_t>(bytes.size() / format::kPageSize)),
      identity_(identity) {
    bytes_ = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
}

ByteView PageFile::page(std::uint32_t number) const {
    if (number >= pageCount())
        throw FormatError(path_ + ": page " + std::to_string(number) + " is past the end of the file (" +
                          std::to_string(pageCount()) + " pages); the file is damaged or truncated");
    static const std::vector<std::uint8_t> kBlankPage(format::kPageSize, 0);
    auto changed = changed_.find(number);
    if (changed != changed_.end()) return ByteView(std::span(changed->second), path_, number);
    // A page a commit skipped over when it grew the file reads as written: blank.
    if ((std::size_t{number} + 1) * format::kPageSize > bytes_->size())
        return ByteView(std::span(kBlankPage), path_, number);
    return ByteView(std::span(*bytes_).subspan(std::size_t{number} * format::kPageSize, format::kPageSize), path_,
                    number);
}

ByteView PageFile::page(std::uint32_t number, format::PageType expected, const char* purpose) const {
    ByteView view = page(number);
    if (view.u8(0) != static_cast<std::uint8_t>(expected))
        throw FormatError(view.where() + " should hold " + purpose +
                          " but is a page of another kind; the file is damaged");
    return view;
}

void PageFile::apply(PageImages pages) {
    for (auto& [number, image] : pages) {
        changed_[number] = std::move(image);
        pageCount_ = std::max(pageCount_, number + 1);
    }
}

PageFile PageFile::changedTo(const PageImages& pages, std::uint32_t pageCount) const {
    PageFile later = *this;
    later.apply(pages);
    later.pageCount_ = pageCount;
    return later;
}

}  // namespace kv::jet
