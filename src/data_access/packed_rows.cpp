#include "data_access/packed_rows.h"

namespace kv::data_access {
namespace {

// Garbage below this is never worth a pass over the buffer.
constexpr std::size_t kReclaimFloor = std::size_t{1} << 20;

void appendCount(std::string& bytes, std::size_t count) {
    while (count >= 0x80) {
        bytes += static_cast<char>(0x80 | (count & 0x7f));
        count >>= 7;
    }
    bytes += static_cast<char>(count);
}

std::size_t readCount(const std::string& bytes, std::size_t& at) {
    std::size_t count = 0;
    for (unsigned shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(bytes[at++]);
        count |= static_cast<std::size_t>(byte & 0x7f) << shift;
        if (byte < 0x80) return count;
    }
}

void skipCells(const std::string& bytes, std::size_t& at, std::size_t cells) {
    for (std::size_t i = 0; i < cells; ++i) {
        const std::size_t length = readCount(bytes, at);
        if (length > 0) at += length - 1;
    }
}

std::size_t packedSize(const std::string& bytes, std::size_t start) {
    std::size_t at = start;
    skipCells(bytes, at, readCount(bytes, at));
    return at - start;
}

// Reads the cell at `at` into `into`, keeping its storage, and moves past it.
void readPackedCell(const std::string& bytes, std::size_t& at, Value& into) {
    const std::size_t length = readCount(bytes, at);
    if (length == 0) {
        into.reset();
        return;
    }
    if (into)
        into->assign(bytes, at, length - 1);
    else
        into.emplace(bytes, at, length - 1);
    at += length - 1;
}

}  // namespace

std::size_t PackedRows::add(const Row& row) {
    starts_.push_back(bytes_.size());
    append(row);
    return starts_.size() - 1;
}

void PackedRows::replace(std::size_t number, const Row& row) {
    garbage_ += packedSize(bytes_, starts_.at(number));
    starts_[number] = bytes_.size();
    append(row);
    if (garbage_ > kReclaimFloor && garbage_ > bytes_.size() / 2) reclaim();
}

void PackedRows::read(std::size_t number, Row& into) const {
    std::size_t at = starts_.at(number);
    into.resize(readCount(bytes_, at));
    for (Value& cell : into) readPackedCell(bytes_, at, cell);
}

void PackedRows::readCell(std::size_t number, std::size_t column, Value& into) const {
    std::size_t at = starts_.at(number);
    const std::size_t cells = readCount(bytes_, at);
    if (column >= cells) {
        into.reset();
        return;
    }
    skipCells(bytes_, at, column);
    readPackedCell(bytes_, at, into);
}

void PackedRows::clear() {
    bytes_.clear();
    bytes_.shrink_to_fit();
    starts_.clear();
    starts_.shrink_to_fit();
    garbage_ = 0;
}

void PackedRows::append(const Row& row) {
    appendCount(bytes_, row.size());
    for (const Value& cell : row) {
        appendCount(bytes_, cell ? cell->size() + 1 : 0);
        if (cell) bytes_ += *cell;
    }
}

void PackedRows::reclaim() {
    std::string kept;
    kept.reserve(bytes_.size() - garbage_);
    for (std::uint64_t& start : starts_) {
        const std::size_t size = packedSize(bytes_, start);
        const std::size_t from = start;
        start = kept.size();
        kept.append(bytes_, from, size);
    }
    bytes_ = std::move(kept);
    garbage_ = 0;
}

}  // namespace kv::data_access
