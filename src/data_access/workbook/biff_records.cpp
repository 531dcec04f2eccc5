#include "data_access/workbook/biff_records.h"

#include <cstdio>

namespace kv::data_access::workbook {
namespace {

constexpr std::size_t kHeaderSize = 4;

}  // namespace

std::string describe(const BiffRecord& record) {
    char type[8];
    std::snprintf(type, sizeof type, "0x%04X", record.type);
    return "record " + std::string(type) + " at offset " + std::to_string(record.offset) + " of the Workbook stream";
}

std::optional<BiffRecord> BiffRecordReader::next() {
    if (offset_ >= stream_.size()) return std::nullopt;
    if (stream_.size() - offset_ < kHeaderSize)
        throw WorkbookDamage("the Workbook stream ends inside the record header at offset " + std::to_string(offset_));
    BiffRecord record{stream_.u16(offset_), offset_, {}};
    const std::size_t length = stream_.u16(offset_ + 2);
    if (stream_.size() - offset_ - kHeaderSize < length)
        throw WorkbookDamage(describe(record) + " is " + std::to_string(length) +
                             " bytes long and runs past the end of the stream");
    record.body = stream_.sub(offset_ + kHeaderSize, length);
    offset_ += kHeaderSize + length;
    return record;
}

bool BiffRecordReader::nextIs(std::uint16_t type) const {
    return offset_ < stream_.size() && stream_.size() - offset_ >= kHeaderSize && stream_.u16(offset_) == type;
}

}  // namespace kv::data_access::workbook
