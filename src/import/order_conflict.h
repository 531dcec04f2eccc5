#pragma once
// A call-history file imported as one of the workbook's contest types reads its fields by
// position. When the file's own `!!Order!!` names them otherwise, that is most likely the wrong
// type: field k would go into a History column other than the one the file names for it.

#include "import/call_history_format.h"
#include "mapping/field_map.h"
#include "mapping/mapping_workbook.h"

#include <optional>
#include <string>
#include <vector>

namespace kv::import {

struct OrderConflict {
    // The History column the contest type puts field 1, 2, ... into; "" where it puts none.
    std::vector<std::string> typeOrder;
    // The file's `!!Order!!` line that disagrees with it.
    OrderLine fileOrder;

    bool operator==(const OrderConflict&) const = default;
};

// The first of `fileOrders` that names, at some position k, a field other than the History column
// the contest type's field k goes to (`typeMap`, whose sources are field1, field2, ...), letter
// case ignored; an empty name or no column there is no conflict. None when all agree.
std::optional<OrderConflict> findOrderConflict(const mapping::FieldMap& typeMap,
                                               const std::vector<OrderLine>& fileOrders);

// The same for the call-history file at `path` (read as readCallHistoryText reads it) and the
// workbook's contest type `contestType`.
std::optional<OrderConflict> findOrderConflict(mapping::MappingWorkbook& workbook, const std::string& contestType,
                                               const std::string& path);

// "<file>, line 1: its !!Order!! is Call,Exch1,Sect, but the contest type FD reads Call,data2,Sect".
std::string orderConflictText(const OrderConflict& conflict, const std::string& contestType,
                              const std::string& fileName);

}  // namespace kv::import
