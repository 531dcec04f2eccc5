// jetdump: a look into Access (Jet 4) files.
//   jetdump FILE                    the tables, system tables marked
//   jetdump FILE TABLE              the table as CSV, a header row of column names first
//   jetdump --indexes FILE TABLE    the table's indexes, their columns and entry counts

#include <iostream>
#include <string>
#include <vector>

#include "csv_writer.h"
#include "data_access/access/access_value_text.h"
#include "jet/database.h"
#include "jet/index_tree.h"

namespace {

using kv::jet::Database;

void listTables(const Database& db) {
    for (const auto& table : db.tables()) std::cout << table.name << (table.system ? "  (system)" : "") << '\n';
}

void dumpTable(const Database& db, const std::string& name) {
    auto def = db.tableDef(db.table(name));
    auto rows = db.rows(def);
    std::vector<std::optional<std::string>> fields;
    for (const auto& column : def.columns) fields.push_back(column.name);
    kv::tools::writeCsvRecord(std::cout, fields);
    for (const auto& row : rows.rows) {
        fields.clear();
        for (const auto& value : row) fields.push_back(kv::data_access::accessValueText(value));
        kv::tools::writeCsvRecord(std::cout, fields);
    }
}

void listIndexes(const Database& db, const std::string& name) {
    auto def = db.tableDef(db.table(name));
    for (const auto& logical : def.logicalIndexes) {
        const auto& real = def.realIndexes[logical.realIndex];
        std::cout << logical.name << ':';
        for (const auto& part : real.columns)
            std::cout << ' ' << def.columns[def.columnPosition(part.columnNumber)].name
                      << (part.ascending ? " ASC" : " DESC");
        std::cout << ";" << (logical.isPrimaryKey() ? " primary key" : "") << (real.isUnique() ? " unique" : "")
                  << (real.ignoresNulls() ? " ignore nulls" : "") << " entries "
                  << kv::jet::readIndexEntries(db.file(), real).size() << '\n';
    }
}

int usage() {
    std::cerr << "usage: jetdump FILE | jetdump FILE TABLE | jetdump --indexes FILE TABLE\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 3 && args[0] == "--indexes") {
            listIndexes(Database(args[1]), args[2]);
        } else if (args.size() == 2 && !args[0].starts_with("--")) {
            dumpTable(Database(args[0]), args[1]);
        } else if (args.size() == 1 && !args[0].starts_with("--")) {
            listTables(Database(args[0]));
        } else {
            return usage();
        }
    } catch (const std::exception& error) {
        std::cout.flush();
        std::cerr << "jetdump: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
