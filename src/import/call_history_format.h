#pragma once
// The logger's call-history text format, read as the logger reads it. Each line is one of:
// - blank: nothing;
// - a comment: its first character other than a blank is '#';
// - `!!Order!!,Field,Field,...`: the fields of the station lines that follow it, until the next
//   one; names match the logger's fields regardless of letter case, an empty name skips its
//   column, a name the logger does not know skips it too (and is told);
// - another directive, `!!...!!` (`!!AppendUserText!!`, `!!FourCharGridSq!!`, ...): no station;
// - a station: its fields in the order in force, the logger's default order before any
//   `!!Order!!`. Fields are separated by commas or semicolons; blanks around a value are not
//   part of it. Values past the fields the order names are ignored and counted.
// Lines end in CR LF, LF or CR.

#include "data_access/packed_rows.h"
#include "mapping/history_file_fields.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kv::import {

// The fields the logger knows, spelled as it spells them, in its default order.
inline constexpr const auto& kLoggerFields = mapping::kLoggerFieldNames;

// One `!!Order!!` line: its names as written, blanks around them dropped; "" where it skips.
struct OrderLine {
    long long line = 0;  // from 1
    std::vector<std::string> names;

    bool operator==(const OrderLine&) const = default;
};

struct CallHistory {
    // One row per station line, one cell per entry of kLoggerFields; NULL where the line gives none.
    data_access::PackedRows stations;
    std::vector<long long> stationLines;  // the line of each station, from 1
    // Which of kLoggerFields hold a value in some station.
    std::array<bool, kLoggerFields.size()> fieldsGiven{};
    // The names of `!!Order!!` lines that are no field of the logger, as first written.
    std::vector<std::string> unknownNames;
    long long extraFields = 0;  // values past the fields their line's order names
    long long firstExtraLine = 0;
};

// Throws, naming `fileName` and the line, when an `!!Order!!` line names no Call.
CallHistory parseCallHistory(std::string_view text, const std::string& fileName);

// The `!!Order!!` lines of `text`, in file order; none are checked.
std::vector<OrderLine> orderLinesOf(std::string_view text);

// The text of the call-history file at `path`, read whole (UTF-8 or Windows-1252). Throws, naming
// the file, when it is missing, no regular file (a folder, a pipe, a device), UTF-16 or no text.
std::string readCallHistoryText(const std::string& path);

}  // namespace kv::import
