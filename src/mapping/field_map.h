#pragma once
// The field map of one import run: which source column goes into which History column. Entry 0
// is the key entry: its source value identifies the station's row.

#include <string>
#include <vector>

namespace kv::mapping {

// One source column and the History column that receives it, in that order.
struct AList {
    std::string source;
    std::string target;

    bool operator==(const AList&) const = default;
};

// Owned by the run that built it; its entries go with it.
using FieldMap = std::vector<AList>;

// Appends (source, target), but only when `target` names a column: an empty cell of the
// workbook means that this source column is not imported.
void AddFieldMapping(FieldMap& fieldMap, const std::string& source, const std::string& target);

}  // namespace kv::mapping
