#pragma once
// Comma-delimited records. A field in double quotes may hold commas, line ends and doubled quotes
// (standing for one); an empty unquoted field is NULL. Blanks around a field are dropped, as the
// text driver of Jet drops them, or kept as part of it, as RFC 4180 has it. Lines may end in
// CR LF, LF or CR, the last line end may be missing, and blank lines are no records.

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "data_access/provider.h"

namespace kv::data_access {

enum class Blanks {
    Dropped,  // around an unquoted field, and between a closing quote and the comma
    Kept,     // a field is quoted only when its first character is the quote
};

// The most one record may hold. A wider record is refused while it is read, so that a line of a
// million commas costs no memory in proportion to its width.
struct RecordLimits {
    std::size_t fields = std::numeric_limits<std::size_t>::max();
    std::size_t bytes = std::numeric_limits<std::size_t>::max();  // from its first character to its last
};

// Throws, naming `fileName` and the line, when a quoted field is not closed or a record is wider
// than `limits`.
std::vector<Row> readCommaDelimited(std::string_view text, const std::string& fileName, Blanks blanks = Blanks::Dropped,
                                    RecordLimits limits = {});

}  // namespace kv::data_access
