#pragma once
// Rows of text cells packed into one buffer: each cell a length (one more than its byte count, 0
// for NULL, as a variable-length number) followed by its bytes. A row costs its text and a few
// bytes, against some forty bytes a cell as a vector of optional strings. Replacing a row appends
// its new form; the space the old one took is reclaimed once such garbage outweighs the rows.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "data_access/provider.h"

namespace kv::data_access {

class PackedRows {
public:
    // Returns the row's number, from 0 in the order added.
    std::size_t add(const Row& row);
    void replace(std::size_t number, const Row& row);
    // Fills `into` with the row's cells, reusing its storage.
    void read(std::size_t number, Row& into) const;
    // One cell of the row, NULL past its end.
    void readCell(std::size_t number, std::size_t column, Value& into) const;

    std::size_t size() const { return starts_.size(); }
    void clear();

private:
    void append(const Row& row);
    void reclaim();

    std::string bytes_;
    std::vector<std::uint64_t> starts_;  // by row: where it begins in bytes_
    std::size_t garbage_ = 0;            // bytes of rows replaced since
};

}  // namespace kv::data_access
