#include "jet/data_page_writer.h"

#include <algorithm>
#include <stdexcept>

#include "jet/byte_writer.h"

namespace kv::jet {
namespace {
namespace dp = format::data_page;
}  // namespace

DataPageWriter::DataPageWriter(TableRows owner) {
    for (int i = 0; i < 4; ++i) ownerField_[i] = static_cast<std::uint8_t>(owner.definitionPage >> (8 * i));
    start();
}

DataPageWriter::DataPageWriter(LongValues) {
    std::copy(dp::kLongValueMark.begin(), dp::kLongValueMark.end(), ownerField_.begin());
    start();
}

void DataPageWriter::start() {
    page_.assign(format::kPageSize, 0);
    page_[0] = static_cast<std::uint8_t>(format::PageType::Data);
    page_[format::kPageMarkOffset] = format::kPageMark;
    std::copy(ownerField_.begin(), ownerField_.end(), page_.begin() + dp::kOwnerOffset);
    rowCount_ = 0;
    rowsStart_ = format::kPageSize;
}

std::size_t DataPageWriter::freeSpace() const {
    return rowsStart_ - dp::kRowOffsetsOffset - dp::kRowOffsetSize * rowCount_;
}

bool DataPageWriter::fits(std::size_t rowSize) const {
    return rowCount_ < dp::kMaxRowsPerPage && rowSize + dp::kRowOffsetSize <= freeSpace();
}

std::uint8_t DataPageWriter::add(std::span<const std::uint8_t> row) {
    if (!fits(row.size())) throw std::logic_error("a row added to a data page that has no room for it");
    rowsStart_ -= row.size();
    std::copy(row.begin(), row.end(), page_.begin() + static_cast<std::ptrdiff_t>(rowsStart_));
    putU16(page_, dp::kRowOffsetsOffset + dp::kRowOffsetSize * rowCount_, static_cast<std::uint16_t>(rowsStart_));
    return static_cast<std::uint8_t>(rowCount_++);
}

std::vector<std::uint8_t> DataPageWriter::take() {
    putU16(page_, dp::kFreeSpaceOffset, static_cast<std::uint16_t>(freeSpace()));
    putU16(page_, dp::kRowCountOffset, static_cast<std::uint16_t>(rowCount_));
    std::vector<std::uint8_t> finished = std::move(page_);
    start();
    return finished;
}

}  // namespace kv::jet
