#include "data_access/packed_rows.h"

#include <algorithm>
#include <stdexcept>

namespace kv::data_access {
namespace {

// Garbage below this is never worth a pass over the rows.
constexpr std::size_t kReclaimFloor = std::size_t{1} << 20;
constexpr std::size_t kChunkSize = std::size_t{1} << 20;

std::size_t countSize(std::size_t count) {
    std::size_t size = 1;
    for (; count >= 0x80; count >>= 7) ++size;
    return size;
}

std::size_t packedSizeOf(const Row& row) {
    std::size_t size = countSize(row.size());
    for (const Value& cell : row) size += cell ? countSize(cell->size() + 1) + cell->size() : 1;
    return size;
}

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
    starts_.push_back(append(row));
    return starts_.size() - 1;
}

void PackedRows::replace(std::size_t number, const Row& row) {
    const Place old = starts_.at(number);
    garbage_ += packedSize(chunkOf(old), old.offset);
    starts_[number] = append(row);
    if (garbage_ > kReclaimFloor && garbage_ > bytes_ / 2) reclaim();
}

void PackedRows::read(std::size_t number, Row& into) const {
    const Place place = starts_.at(number);
    const std::string& bytes = chunkOf(place);
    std::size_t at = place.offset;
    into.resize(readCount(bytes, at));
    for (Value& cell : into) readPackedCell(bytes, at, cell);
}

void PackedRows::readCell(std::size_t number, std::size_t column, Value& into) const {
    const Place place = starts_.at(number);
    const std::string& bytes = chunkOf(place);
    std::size_t at = place.offset;
    const std::size_t cells = readCount(bytes, at);
    if (column >= cells) {
        into.reset();
        return;
    }
    skipCells(bytes, at, column);
    readPackedCell(bytes, at, into);
}

void PackedRows::clear() {
    chunks_.clear();
    chunks_.shrink_to_fit();
    bytes_ = 0;
    starts_.clear();
    starts_.shrink_to_fit();
    garbage_ = 0;
}

PackedRows::Place PackedRows::room(std::size_t size) {
    if (chunks_.empty() || chunks_.back().capacity() - chunks_.back().size() < size) {
        if (chunks_.size() >= UINT32_MAX) throw std::runtime_error("Too many rows are held in memory");
        chunks_.emplace_back().reserve(std::max(kChunkSize, size));
    }
    const std::string& chunk = chunks_.back();
    if (chunk.size() > UINT32_MAX - size) throw std::runtime_error("A row is too large to be held in memory");
    bytes_ += size;
    return {static_cast<std::uint32_t>(chunks_.size() - 1), static_cast<std::uint32_t>(chunk.size())};
}

PackedRows::Place PackedRows::append(const Row& row) {
    const Place place = room(packedSizeOf(row));
    std::string& chunk = chunks_.back();
    appendCount(chunk, row.size());
    for (const Value& cell : row) {
        appendCount(chunk, cell ? cell->size() + 1 : 0);
        if (cell) chunk += *cell;
    }
    return place;
}

void PackedRows::reclaim() {
    const std::vector<std::string> old = std::move(chunks_);
    chunks_.clear();
    bytes_ = 0;
    for (Place& start : starts_) {
        const Place from = start;
        const std::string& bytes = old[from.chunk];
        const std::size_t size = packedSize(bytes, from.offset);
        start = room(size);
        chunks_.back().append(bytes, from.offset, size);
    }
    garbage_ = 0;
}

}  // namespace kv::data_access
