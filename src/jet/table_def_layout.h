#pragma once
// Where the fields a rebuild changes sit in a table definition's bytes, and writing the bytes back
// over the definition's chain of pages (the definition keeps its size, so the chain is unchanged).

#include <cstddef>
#include <vector>

#include "jet/page_file.h"
#include "jet/table_def.h"
#include "jet/writable_database.h"

namespace kv::jet {

// The offset in TableDef::raw of the 52-byte definition of real index `index`.
std::size_t realIndexDefinitionOffset(const TableDef& def, std::size_t index);

// Puts `raw` (the definition's bytes, as TableDef::raw holds them) into the images of its pages.
void writeTableDefinition(const PageFile& file, const TableDef& def, const std::vector<std::uint8_t>& raw,
                          PageImages& images);

}  // namespace kv::jet
