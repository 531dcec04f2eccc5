#pragma once
// A bounds-checked view of bytes: every read names where it went past the end instead of reading
// beyond it, so that damaged files end in a FormatError. The file and page it came from are kept
// by reference and put into words only for an error.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "jet/error.h"

namespace kv::jet {

class ByteView {
public:
    ByteView() = default;
    // `file` must outlive the view.
    ByteView(std::span<const std::uint8_t> bytes, const std::string& file, std::uint32_t page)
        : bytes_(bytes), file_(&file), page_(page) {}
    // Bytes that are not a page of a file, named by `label` in errors.
    ByteView(std::span<const std::uint8_t> bytes, std::string label)
        : bytes_(bytes), label_(std::make_shared<const std::string>(std::move(label))) {}

    std::size_t size() const { return bytes_.size(); }
    std::span<const std::uint8_t> bytes() const { return bytes_; }
    // Other bytes from the same place (a value copied out of a row, say).
    ByteView within(std::span<const std::uint8_t> bytes) const {
        ByteView view = *this;
        view.bytes_ = bytes;
        return view;
    }
    std::string where() const {
        if (label_) return *label_;
        return (file_ ? *file_ : std::string("data")) + ", page " + std::to_string(page_);
    }

    std::span<const std::uint8_t> slice(std::size_t offset, std::size_t length) const {
        check(offset, length);
        return bytes_.subspan(offset, length);
    }
    ByteView sub(std::size_t offset, std::size_t length) const { return within(slice(offset, length)); }

    std::uint8_t u8(std::size_t offset) const {
        check(offset, 1);
        return bytes_[offset];
    }
    std::uint16_t u16(std::size_t offset) const {
        check(offset, 2);
        return static_cast<std::uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
    }
    std::uint32_t u24(std::size_t offset) const {
        check(offset, 3);
        return bytes_[offset] | bytes_[offset + 1] << 8 | static_cast<std::uint32_t>(bytes_[offset + 2]) << 16;
    }
    std::uint32_t u32(std::size_t offset) const {
        check(offset, 4);
        return bytes_[offset] | bytes_[offset + 1] << 8 | bytes_[offset + 2] << 16 |
               static_cast<std::uint32_t>(bytes_[offset + 3]) << 24;
    }
    std::uint64_t u64(std::size_t offset) const {
        return u32(offset) | static_cast<std::uint64_t>(u32(offset + 4)) << 32;
    }
    std::uint32_t u24BigEndian(std::size_t offset) const {
        check(offset, 3);
        return static_cast<std::uint32_t>(bytes_[offset]) << 16 | bytes_[offset + 1] << 8 | bytes_[offset + 2];
    }
    std::uint32_t u32BigEndian(std::size_t offset) const {
        check(offset, 4);
        return static_cast<std::uint32_t>(bytes_[offset]) << 24 | bytes_[offset + 1] << 16 | bytes_[offset + 2] << 8 |
               bytes_[offset + 3];
    }

private:
    void check(std::size_t offset, std::size_t length) const {
        if (offset > bytes_.size() || length > bytes_.size() - offset) [[unlikely]]
            throwPastEnd(offset, length);
    }
    // Out of line, so that the check every read makes stays small enough to inline.
    [[noreturn]] void throwPastEnd(std::size_t offset, std::size_t length) const;

    std::span<const std::uint8_t> bytes_;
    const std::string* file_ = nullptr;
    std::uint32_t page_ = 0;
    std::shared_ptr<const std::string> label_;
};

}  // namespace kv::jet
