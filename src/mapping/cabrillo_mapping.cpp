#include "mapping/cabrillo_mapping.h"

namespace kv::mapping {

std::vector<std::string> exchangeColumns(const std::vector<std::string>& cells) {
    std::vector<std::string> columns;
    for (const std::string& cell : cells) {
        if (cell.empty()) break;
        columns.push_back(cell == kFieldNotKept ? std::string() : cell);
    }
    return columns;
}

}  // namespace kv::mapping
