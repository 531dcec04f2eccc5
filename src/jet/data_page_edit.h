#pragma once
// Changing the rows of one data page in place. Every row keeps its number, since indexes address
// rows by page and number: a deleted row leaves its slot, flagged deleted and empty, and a new row
// takes a new slot at the end. The page is laid out afresh from its rows, so the space of deleted
// and shrunken rows is free again.

#include <cstdint>
#include <optional>
#include <vector>

#include "jet/bytes.h"

namespace kv::jet {

class DataPageEdit {
public:
    // The rows of a table's data page. Deleted slots are taken as empty: the table must have no
    // moved rows, whose data hides in slots flagged deleted.
    explicit DataPageEdit(const ByteView& page);
    // An empty data page of the table whose definition is at `definitionPage`.
    static DataPageEdit fresh(std::uint32_t definitionPage);

    void remove(std::uint8_t row);
    // False, changing nothing, when the page cannot hold the row's new bytes.
    bool replace(std::uint8_t row, std::vector<std::uint8_t> bytes);
    // The row's number, or nothing when the page has no room for it.
    std::optional<std::uint8_t> add(std::vector<std::uint8_t> bytes);

    bool hasRows() const;
    std::size_t freeSpace() const;
    std::vector<std::uint8_t> image() const;

private:
    DataPageEdit() = default;
    std::size_t slotCount() const;  // without the deleted slots at the end, which are dropped

    std::vector<std::uint8_t> header_;                            // the bytes before the slot table
    std::vector<std::optional<std::vector<std::uint8_t>>> rows_;  // by number; empty for a deleted row
    std::size_t rowBytes_ = 0;
};

}  // namespace kv::jet
