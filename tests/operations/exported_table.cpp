#include "exported_table.h"

#include "tool_support.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace kv::testing {

std::vector<std::vector<std::string>> exportedTable(const std::string& databasePath, const std::string& table) {
    // Unquoted and tab-separated, so that a line splits at its tabs (the tests' values hold none).
    const auto run = jet::testing::runWithStatus("mdb-export -Q -d '\\t' '" + databasePath + "' '" + table + "'");
    if (run.status != 0) throw std::runtime_error("mdb-export failed: " + run.output);
    std::vector<std::vector<std::string>> lines;
    for (const std::string& line : jet::testing::lines(run.output)) {
        std::vector<std::string> cells;
        std::istringstream cellText(line);
        for (std::string cell; std::getline(cellText, cell, '\t');) cells.push_back(cell);
        // getline drops an empty last cell.
        if (!line.empty() && line.back() == '\t') cells.emplace_back();
        lines.push_back(std::move(cells));
    }
    return lines;
}

std::vector<std::string> exportedColumn(const std::string& databasePath, const std::string& table,
                                        const std::string& column) {
    const auto lines = exportedTable(databasePath, table);
    if (lines.empty()) throw std::runtime_error("mdb-export printed no header for " + table);
    const auto found = std::find(lines[0].begin(), lines[0].end(), column);
    if (found == lines[0].end()) throw std::runtime_error("mdb-export printed no column " + column);
    const auto at = static_cast<std::size_t>(found - lines[0].begin());
    std::vector<std::string> values;
    for (std::size_t line = 1; line < lines.size(); ++line) values.push_back(lines[line].at(at));
    return values;
}

}  // namespace kv::testing
