#include "operation_files.h"

#include "data_access/connection.h"
#include "data_access/cursor.h"
#include "data_access/source_connection_strings.h"
#include "jet/database.h"
#include "tool_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace kv::testing {
namespace fs = std::filesystem;

namespace {

void run(const std::string& command) {
    auto outcome = jet::testing::runWithStatus(command);
    if (outcome.status != 0) throw std::runtime_error(command + " failed: " + outcome.output);
}

}  // namespace

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

ProgramFiles::ProgramFiles() : ProgramDirectory(false) {
    for (const char* name : {"mapping.xls", "kestrovane_mdb.template"})
        fs::copy_file(fs::path(KV_PROGRAM_DIR) / name, path() / name);
}

void writeWorkbook(const std::string& path, const std::string& importMapping, const std::string& exportMapping) {
    std::string sheets;
    for (auto [sheet, text] : {std::pair{"ImportMapping", &importMapping}, {"ExportMapping", &exportMapping}}) {
        if (text->empty()) continue;
        const std::string csv = path + "." + sheet + ".csv";
        std::ofstream(csv) << *text;
        sheets += " " + std::string(sheet) + "=" + quoted(csv);
    }
    run(std::string(KV_PYTHON) + " " + KV_SOURCE_DIR "/tools/make_workbook/make_workbook.py " + quoted(path) + sheets);
}

void writeAccessDatabase(const std::string& path, const std::string& schema,
                         const std::vector<std::pair<std::string, std::string>>& tableRows) {
    std::string rows;
    for (const auto& [table, csvText] : tableRows) {
        const std::string csv = path + "." + table + ".csv";
        std::ofstream(csv) << csvText;
        rows += " --rows " + quoted(table + "=" + csv);
    }
    run(std::string(KV_PROGRAM_DIR) + "/jetmake " + quoted(schema) + " " + quoted(path) + rows + " --replace");
}

void writeHistoryDatabase(const std::string& path, const std::string& historyRows) {
    writeAccessDatabase(path, KV_SOURCE_DIR "/resources/template/history.sql",
                        {{"History", historyRows}, {"version", "Version\n\"0.51\"\n"}});
}

std::vector<std::string> columnValues(const std::string& databasePath, const std::string& table,
                                      const std::string& column) {
    data_access::Connection connection;
    connection.setConnectionString(data_access::accessDatabaseConnectionString(databasePath));
    data_access::Cursor cursor("reader");
    cursor.setConnection(&connection);
    cursor.setTableName(table);
    cursor.open();
    std::vector<std::string> values;
    for (cursor.first(); !cursor.atEnd(); cursor.next()) values.push_back(cursor.text(column));
    return values;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string blankDataPage(const std::string& databasePath, const std::string& table) {
    std::uint32_t page = 0;
    {
        jet::Database database(databasePath);
        const jet::TableRows rows = database.rows(database.tableDef(database.table(table)));
        EXPECT_FALSE(rows.locations.empty()) << table;
        if (!rows.locations.empty()) page = rows.locations[rows.locations.size() / 2].page;
    }
    std::fstream file(databasePath, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(static_cast<std::streamoff>(page) * static_cast<std::streamoff>(jet::format::kPageSize));
    const std::string zeros(jet::format::kPageSize, '\0');
    file.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
    EXPECT_TRUE(file.good()) << databasePath;
    const std::string number = std::to_string(page);
    return databasePath + " is damaged: table " + table + " lists page " + number + " among its data pages, but page " +
           number + " is blank";
}

}  // namespace kv::testing
