#pragma once
// The History table the benchmarks write: stations with the columns the logger's files fill, an
// index on Call, and their `Updated` as the caller gives it.

#include <functional>
#include <string>

#include "jet/database_builder.h"

namespace kv::bench {

inline std::string callSign(int n) {
    return std::string(1, "KWNA"[n % 4]) + std::to_string(n % 10) + static_cast<char>('A' + n % 26) +
           static_cast<char>('A' + n / 26 % 26) + static_cast<char>('A' + n / 676 % 26) + std::to_string(n / 17576);
}

inline jet::TableContent historyTable(int stations, const std::function<jet::Value(int station)>& updated) {
    using jet::ColumnType;
    using jet::userColumn;
    jet::TableContent table;
    table.design.name = "History";
    for (const char* name :
         {"Call", "Name", "Sect", "State", "Ck", "Exch1", "Grid", "Nr", "UserText", "data2", "data3"})
        table.design.columns.push_back(userColumn(name, ColumnType::Text, 20));
    table.design.columns.push_back(userColumn("Updated", ColumnType::DateTime));
    table.design.indexes = {jet::IndexDesign{"Call", {{"Call", false}}, false, false, false, false}};
    for (int n = 0; n < stations; ++n)
        table.rows.push_back({callSign(n),
                              std::string("OP") + std::to_string(n % 97),
                              std::string("EMA"),
                              std::string("MA"),
                              std::to_string(60 + n % 40),
                              {},
                              std::string("FN42"),
                              {},
                              {},
                              {},
                              {},
                              updated(n)});
    return table;
}

// The table that tells a History database's version, beside historyTable in a database of its own.
inline jet::TableContent versionTable() {
    jet::TableContent table;
    table.design.name = "version";
    table.design.columns.push_back(jet::userColumn("Version", jet::ColumnType::Text, 10));
    table.rows.push_back({std::string("0.51")});
    return table;
}

}  // namespace kv::bench
