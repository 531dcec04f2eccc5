#pragma once
// Memo and OLE values: a 12-byte header in the row, the bytes inline after it, in one row of an
// LVAL page, or in a chain of such rows.

#include <cstdint>
#include <span>
#include <vector>

#include "jet/bytes.h"
#include "jet/page_file.h"

namespace kv::jet {

// The value's bytes. Throws FormatError for a header or chain that does not fit the file.
std::vector<std::uint8_t> readLongValue(const PageFile& file, const ByteView& field);

}  // namespace kv::jet
