#pragma once
// The logger's fields of a call-history line, in its default order: the order of a line that no
// `!!Order!!` line names, and the positions field1 ... field14 of the ExportMapping sheet.

#include <array>
#include <string>
#include <string_view>

namespace kv::mapping {

inline constexpr std::array<std::string_view, 14> kLoggerFieldNames{"Call",  "Name",   "Loc1",      "Loc2",    "Sect",
                                                                    "State", "CK",     "BirthDate", "Exch1",   "Misc",
                                                                    "Power", "CqZone", "ITUZone",   "UserText"};

// The fields a header-less line holds: the first eight positions.
inline constexpr std::size_t kHeaderlessFieldCount = 8;

// The History column of each position; an empty name gives an empty field.
using ExportColumns = std::array<std::string, kLoggerFieldNames.size()>;

}  // namespace kv::mapping
