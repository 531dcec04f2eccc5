#pragma once
// Rows of text cells packed into a few large buffers: each cell a length (one more than its byte
// count, 0 for NULL, as a variable-length number) followed by its bytes. A row costs its text and a
// few bytes, against some forty bytes a cell as a vector of optional strings. The buffers are
// chunks of a megabyte or more, each row whole in one, so that rows are added without copying those
// held. Replacing a row appends its new form; the space the old one took is reclaimed once such
// garbage outweighs the rows.

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
    // Where a row begins: its chunk, and the offset in it.
    struct Place {
        std::uint32_t chunk;
        std::uint32_t offset;
    };

    // Counts `size` more bytes held and returns where they go: at the end of the last chunk, or of
    // a new one when they do not fit there.
    Place room(std::size_t size);
    Place append(const Row& row);
    const std::string& chunkOf(Place place) const { return chunks_[place.chunk]; }
    void reclaim();

    std::vector<std::string> chunks_;  // each filled only up to the capacity it was made with
    std::size_t bytes_ = 0;            // in all chunks
    std::vector<Place> starts_;        // by row
    std::size_t garbage_ = 0;          // bytes of rows replaced since
};

}  // namespace kv::data_access
