// jetmake SCHEMA.sql OUT.mdb [--rows TABLE=FILE.csv ...] [--replace]: writes a new Access (Jet 4)
// database holding the tables of the schema, filled from CSV files.

#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "csv_rows.h"
#include "jet/database_builder.h"
#include "schema_parser.h"

namespace {

constexpr const char* kUsage =
    "Usage: jetmake SCHEMA.sql OUT.mdb [--rows TABLE=FILE.csv ...] [--replace]\n"
    "\n"
    "Writes a new Access (Jet 4) database OUT.mdb with the tables of SCHEMA.sql, each filled from\n"
    "its CSV file. OUT.mdb is written whole or not at all, and an existing file is refused unless\n"
    "--replace is given.\n"
    "\n"
    "SCHEMA.sql is the Access dialect that `mdb-schema FILE access` prints:\n"
    "  CREATE TABLE [T] ([Id] Long Integer AUTOINCREMENT, [Call] Text (20) NOT NULL, ...);\n"
    "with the types Text (n), Memo/Hyperlink, Byte, Integer, Long Integer, Single, Double, Currency,\n"
    "DateTime, Boolean, Replication ID, Numeric (p, s), Binary (n), OLE and AutoNumber, plus\n"
    "  CREATE [UNIQUE] INDEX [name] ON [T] ([col] [ASC|DESC], ...) [WITH PRIMARY|IGNORE NULL|DISALLOW NULL];\n"
    "\n"
    "Each FILE.csv (RFC 4180) starts with a header row naming the columns; blanks are part of a\n"
    "field, quoted or not. Values are written as mdb-export prints them: an empty unquoted field is\n"
    "NULL and \"\" an empty text; numbers with '.'; dates as month/day/year or month-day-year with an\n"
    "optional time H:MM:SS (four-digit years, e.g. mdb-export -T '%m/%d/%Y %H:%M:%S'), or as ISO 8601:\n"
    "YYYY-MM-DD, YYYY-MM-DD HH:MM:SS or YYYY-MM-DDTHH:MM:SS; booleans as 1/0 or True/False;\n"
    "Replication ID as {GUID}; Binary and OLE as hexadecimal digits (mdb-export -b hex).\n";

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("Cannot open file " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Arguments {
    std::string schema;
    std::string output;
    std::map<std::string, std::string> rows;  // table name -> CSV file
    bool replace = false;
};

Arguments parseArguments(int argc, char** argv) {
    Arguments arguments;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--replace") {
            arguments.replace = true;
        } else if (argument == "--rows") {
            if (++i == argc) throw std::runtime_error("--rows needs TABLE=FILE.csv");
            std::string pair = argv[i];
            auto equals = pair.find('=');
            if (equals == std::string::npos || equals == 0 || equals + 1 == pair.size())
                throw std::runtime_error("--rows needs TABLE=FILE.csv, not " + pair);
            if (!arguments.rows.emplace(pair.substr(0, equals), pair.substr(equals + 1)).second)
                throw std::runtime_error("--rows names table " + pair.substr(0, equals) + " twice");
        } else if (argument.starts_with("--")) {
            throw std::runtime_error("Unknown option " + argument);
        } else {
            positional.push_back(argument);
        }
    }
    if (positional.size() != 2) throw std::runtime_error("Expected SCHEMA.sql and OUT.mdb");
    arguments.schema = positional[0];
    arguments.output = positional[1];
    return arguments;
}

void run(const Arguments& arguments) {
    std::vector<kv::jet::TableContent> tables;
    for (auto& design : kv::jetmake::parseSchema(readFile(arguments.schema))) tables.push_back({std::move(design), {}});
    for (const auto& [tableName, file] : arguments.rows) {
        auto table =
            std::find_if(tables.begin(), tables.end(), [&](const auto& t) { return t.design.name == tableName; });
        if (table == tables.end())
            throw std::runtime_error("--rows names table " + tableName + ", which the schema does not create");
        table->rows = kv::jetmake::readCsvRows(table->design, readFile(file), file);
    }
    kv::jet::createDatabase(arguments.output, tables, arguments.replace);
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
            std::cout << kUsage;
            return 0;
        }
    }
    try {
        run(parseArguments(argc, argv));
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "jetmake: " << error.what() << "\n";
        if (argc < 3) std::cerr << kUsage;
        return 1;
    }
}
