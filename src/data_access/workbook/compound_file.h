#pragma once
// The compound file (OLE2) that holds an Excel 8.0 workbook: a small file system of sectors
// chained by a FAT (whose own sectors the DIFAT lists), with streams under 4096 bytes kept in
// 64-byte mini sectors inside the root entry's stream, chained by the mini FAT, and a directory of
// 128-byte entries that names the streams. Every sector number, chain and length is checked
// against the file before it is used: a damaged file ends in WorkbookDamage, never in a read
// outside its bytes.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "jet/bytes.h"

namespace kv::data_access::workbook {

class CompoundFile {
public:
    // `bytes` must outlive the object. Reads the header, the FAT and the directory.
    explicit CompoundFile(std::span<const std::uint8_t> bytes);

    // The bytes of the stream `name` (letter case aside) among the root storage's children.
    std::vector<std::uint8_t> rootStream(std::string_view name) const;

private:
    struct Entry {
        std::u16string name;
        std::uint8_t type = 0;
        std::uint32_t left = 0;
        std::uint32_t right = 0;
        std::uint32_t child = 0;
        std::uint32_t start = 0;
        std::uint64_t size = 0;
    };

    jet::ByteView sector(std::uint32_t number) const;
    std::vector<std::uint32_t> fatSectorNumbers(std::uint32_t fatSectors) const;
    std::vector<std::uint32_t> tableOf(const std::vector<std::uint32_t>& sectors) const;
    std::vector<std::uint8_t> regularStream(std::uint32_t start, std::uint64_t size, const std::string& what) const;
    std::vector<std::uint8_t> miniStream(std::uint32_t start, std::uint64_t size, const std::string& what) const;
    void readDirectory(std::uint32_t start);
    const Entry* findRootChild(std::string_view name) const;

    jet::ByteView file_;
    std::size_t sectorSize_ = 0;
    std::uint32_t sectorCount_ = 0;
    bool largeSizes_ = false;  // version 4: stream sizes take 64 bits
    std::uint32_t miniCutoff_ = 0;
    std::uint32_t miniFatStart_ = 0;
    std::vector<std::uint32_t> fat_;
    std::vector<Entry> directory_;
};

}  // namespace kv::data_access::workbook
