#include "jet/page_file.h"

#include <algorithm>
#include <cerrno>
#include <span>

namespace kv::jet {

PageFile::PageFile(std::string path) : path_(std::move(path)) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = durable_io::readWhole(path_);
    } catch (const durable_io::IoError& error) {
        if (error.code() == ENOENT)
            throw FormatError("Cannot open " + path_ + ": the file does not exist or cannot be read");
        throw FormatError(error.what());  // a folder, say, which opens but cannot be read
    }
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
