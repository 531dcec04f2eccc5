#include "export/history_file_layout.h"

#include <algorithm>

namespace kv::export_ {

HistoryFileLayout historyFileLayout(const mapping::ExportColumns& columns) {
    HistoryFileLayout layout;
    const bool named = std::any_of(columns.begin() + mapping::kHeaderlessFieldCount, columns.end(),
                                   [](const std::string& column) { return !column.empty(); });
    if (!named) {
        for (std::size_t k = 0; k < mapping::kHeaderlessFieldCount; ++k) layout.positions.push_back(k);
        return layout;
    }
    layout.orderLine = "!!Order!!";
    for (std::size_t k = 0; k < columns.size(); ++k) {
        if (columns[k].empty()) continue;
        layout.positions.push_back(k);
        layout.orderLine += ',';
        layout.orderLine += mapping::kLoggerFieldNames[k];
    }
    layout.orderLine += "\r\n";
    return layout;
}

}  // namespace kv::export_
