#pragma once
// A bounds-checked view of bytes: every read names where it went past the end instead of reading
// beyond it, so that damaged files end in a FormatError.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "jet/error.h"

namespace kv::jet {

class ByteView {
public:
    ByteView() = default;
    ByteView(std::span<const std::uint8_t> bytes, std::string where) : bytes_(bytes), where_(std::move(where)) {}

    std::size_t size() const { return bytes_.size(); }
    std::span<const std::uint8_t> bytes() const { return bytes_; }
    const std::string& where() const { return where_; }

    std::span<const std::uint8_t> slice(std::size_t offset, std::size_t length) const {
        check(offset, length);
        return bytes_.subspan(offset, length);
    }
    ByteView sub(std::size_t offset, std::size_t length) const { return ByteView(slice(offset, length), where_); }

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
        return static_cast<std::uint32_t>(bytes_[offset]) << 24 | bytes_[offset + 1] << 16 |
               bytes_[offset + 2] << 8 | bytes_[offset + 3];
    }

private:
    void check(std::size_t offset, std::size_t length) const {
        if (offset > bytes_.size() || length > bytes_.size() - offset)
            throw FormatError(where_ + ": a length or offset points past the end (" + std::to_string(offset) +
                              "+" + std::to_string(length) + " of " + std::to_string(bytes_.size()) +
                              " bytes); the file is damaged");
    }

    std::span<const std::uint8_t> bytes_;
    std::string where_;
};

}  // namespace kv::jet
