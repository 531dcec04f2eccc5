#include "mapping/mapping_workbook.h"

#include "data_access/connection.h"
#include "data_access/cursor.h"
#include "data_access/source_connection_strings.h"
#include "data_access/text_fold.h"

#include <algorithm>
#include <string_view>

namespace kv::mapping {
namespace {

constexpr const char* kImportSheet = "[ImportMapping$]";
constexpr const char* kExportSheet = "[ExportMapping$]";
constexpr const char* kCabrilloSheet = "[CabrilloMapping$]";
constexpr const char* kListedRows = "History = 1";

// The source columns of a logger import, the key first; the workbook's column of the same name
// holds each one's target.
constexpr const char* kLoggerColumns[] = {"Call", "Ck", "Sect", "Exchange1", "Name", "Gridsquare", "nr"};
constexpr const char* kHistoryFileColumns[] = {"field1", "field2", "field3", "field4", "field5", "field6", "field7"};
// DXLOG's other columns that carry what a station sent; a further column of the sheet named as one
// of them is a logger source like the seven above. Any other further column is not the logger's.
constexpr std::string_view kFurtherLoggerColumns[] = {"Prec", "ZN", "Power", "QTH", "Comment", "MiscText"};

// Whether `names` holds `name`, letter case ignored, as sheets and tables match column names.
template <typename Names>
bool holdsName(const Names& names, std::string_view name) {
    return std::ranges::any_of(names,
                               [&](std::string_view held) { return data_access::equalIgnoringCase(held, name); });
}

std::string exportField(std::size_t position) { return "field" + std::to_string(position + 1); }

// Only the rows whose History is 1, from the first one.
void keepListedRows(data_access::Cursor& sheet) {
    sheet.setFilter(kListedRows);
    sheet.setFiltered(true);
    sheet.first();
}

std::vector<std::string> listedValues(data_access::Cursor sheet, const char* column) {
    keepListedRows(sheet);
    std::vector<std::string> values;
    for (; !sheet.atEnd(); sheet.next()) values.push_back(sheet.text(column));
    return values;
}

// Moves to the first row whose `column` is `value`, or throws naming the sheet and the value.
void requireRow(data_access::Cursor& sheet, const char* sheetName, const char* column, const std::string& value) {
    if (!sheet.locate(column, {value}))
        throw std::runtime_error("The mapping workbook has no " + std::string(sheetName) + " row whose " + column +
                                 " is \"" + value + "\"");
}

}  // namespace

MappingWorkbook::MappingWorkbook(const std::string& path) : connection_(std::make_unique<data_access::Connection>()) {
    connection_->setConnectionString(data_access::excelWorkbookConnectionString(path));
}

MappingWorkbook::~MappingWorkbook() = default;
MappingWorkbook::MappingWorkbook(MappingWorkbook&&) noexcept = default;
MappingWorkbook& MappingWorkbook::operator=(MappingWorkbook&&) noexcept = default;

data_access::Cursor MappingWorkbook::openSheet(const char* sheet) {
    data_access::Cursor cursor("ADODataSet_Mapping");
    cursor.setConnection(connection_.get());
    cursor.setTableName(sheet);
    cursor.open();
    return cursor;
}

std::vector<std::string> MappingWorkbook::exportContests() { return listedValues(openSheet(kExportSheet), "Contest"); }

std::vector<std::string> MappingWorkbook::historyFileContestTypes() {
    return listedValues(openSheet(kImportSheet), "Contest_general");
}

bool MappingWorkbook::isLoggerContestListed(const std::string& contestName) {
    return openSheet(kImportSheet).locate("Contest;History", {contestName, "1"});
}

void MappingWorkbook::requireImportableLoggerContest(const std::string& contestName) {
    data_access::Cursor sheet = openSheet(kImportSheet);
    if (!sheet.locate("Contest", {contestName}))
        throw ContestNotImportable(
            "No import mapping exists for this content, create contest in mapping file and restart program");
    if (sheet.text("History") != "1")
        throw ContestNotImportable("Selected contest is not supported in N1MM Logger to use history");
}

ImportMapping MappingWorkbook::importMapping(ImportKind kind, const std::string& key) {
    data_access::Cursor sheet = openSheet(kImportSheet);
    const bool logger = kind == ImportKind::Logger;
    const char* keyColumn = logger ? "Contest" : "Contest_general";
    requireRow(sheet, "ImportMapping", keyColumn, key);

    ImportMapping mapping{sheet.text(keyColumn), {}};
    const auto& columns = logger ? kLoggerColumns : kHistoryFileColumns;
    mapping.fieldMap.setKey(columns[0], sheet.text(columns[0]));
    for (std::size_t i = 1; i < std::size(columns); ++i) mapping.fieldMap.add(columns[i], sheet.text(columns[i]));
    if (logger)
        for (const std::string& header : sheet.columnNames())
            if (holdsName(kFurtherLoggerColumns, header)) mapping.fieldMap.add(header, sheet.text(header));
    return mapping;
}

ExportMapping MappingWorkbook::exportMapping(const std::string& contest) {
    data_access::Cursor sheet = openSheet(kExportSheet);
    requireRow(sheet, "ExportMapping", "Contest", contest);

    ExportMapping mapping{sheet.text("Contest"), {}};
    // field1 ... field8 are every workbook's; a missing one raises the cursor's field error.
    const std::vector<std::string> headers = sheet.columnNames();
    for (std::size_t k = 0; k < mapping.columns.size(); ++k)
        if (k < kHeaderlessFieldCount || holdsName(headers, exportField(k)))
            mapping.columns[k] = sheet.text(exportField(k));
    return mapping;
}

std::vector<CabrilloMapping> MappingWorkbook::cabrilloMappings(const std::string& cabrilloContest) {
    data_access::Cursor sheet = openSheet(kCabrilloSheet);
    const auto cells = [&](const char* prefix) {
        std::vector<std::string> texts;
        for (std::size_t k = 1; k <= kCabrilloExchangeFields; ++k)
            texts.push_back(sheet.text(prefix + std::to_string(k)));
        return exchangeColumns(texts);
    };
    std::vector<CabrilloMapping> rows;
    for (sheet.first(); !sheet.atEnd(); sheet.next())
        if (data_access::equalIgnoringCase(sheet.text("Cabrillo"), cabrilloContest))
            rows.push_back({sheet.text("Cabrillo"), sheet.text("Location"), sheet.text("Contest"), cells("Sent"),
                            cells("Received")});
    return rows;
}

}  // namespace kv::mapping
