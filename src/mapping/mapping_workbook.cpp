#include "mapping/mapping_workbook.h"

#include "data_access/source_connection_strings.h"

#include <stdexcept>

namespace kv::mapping {
namespace {

constexpr const char* kImportSheet = "[ImportMapping$]";
constexpr const char* kExportSheet = "[ExportMapping$]";
constexpr const char* kListedRows = "History = 1";

// The source columns of a logger import, in the order their entries join the field map; the
// workbook's column of the same name holds each one's target.
constexpr const char* kLoggerColumns[] = {"Call", "Ck", "Sect", "Exchange1", "Name", "Gridsquare", "nr"};
constexpr const char* kHistoryFileColumns[] = {"field1", "field2", "field3", "field4", "field5", "field6", "field7"};
constexpr const char* kExportColumns[] = {"field1", "field2", "field3", "field4",
                                          "field5", "field6", "field7", "field8"};

// The sheet opened as a plain table on `cursor`, at its first row.
void openSheet(data_access::Cursor& cursor, const char* sheet) {
    cursor.close();
    cursor.setTableName(sheet);
    cursor.open();
    cursor.first();
}

// A sheet opened on `ADODataSet_Mapping` for the length of one lookup; closed when the lookup
// ends, also by an error.
class OpenSheet {
public:
    OpenSheet(shell::DataObjects& data, const char* sheet) : cursor_(data.ADODataSet_Mapping) {
        openSheet(cursor_, sheet);
    }
    ~OpenSheet() {
        cursor_.close();
        cursor_.setFiltered(false);  // on a closed cursor only the setting changes
    }
    OpenSheet(const OpenSheet&) = delete;
    OpenSheet& operator=(const OpenSheet&) = delete;

    data_access::Cursor& operator*() { return cursor_; }
    data_access::Cursor* operator->() { return &cursor_; }

    // Only the rows whose History is 1, from the first one.
    void keepListedRows() {
        cursor_.setFiltered(false);
        cursor_.setFilter(kListedRows);
        cursor_.setFiltered(true);
        cursor_.first();
    }

private:
    data_access::Cursor& cursor_;
};

void fillList(ui::Ui& ui, const char* list, OpenSheet& sheet, const char* column) {
    ui.clearItems(list);
    for (; !sheet->atEnd(); sheet->next()) ui.addItem(list, sheet->text(column), std::nullopt);
}

// Moves to the first row whose `column` is `value`, or throws naming the sheet and the value.
void requireRow(OpenSheet& sheet, const char* sheetName, const char* column, const std::string& value) {
    if (!sheet->locate(column, {value}))
        throw std::runtime_error("The mapping workbook has no " + std::string(sheetName) + " row whose " + column +
                                 " is \"" + value + "\"");
}

}  // namespace

void ConnectMappingWorkbook(ui::Ui& ui, shell::DataObjects& data) {
    data.ADOConnectionMapping.close();
    data.ADOConnectionMapping.setConnectionString(data_access::excelWorkbookConnectionString(ui.state().MappingPath));
    data.ADODataSet_Mapping.close();
    data.ADODataSet_Mapping.setConnection(&data.ADOConnectionMapping);
}

void FillExportContests(ui::Ui& ui, shell::DataObjects& data) {
    OpenSheet sheet(data, kExportSheet);
    sheet.keepListedRows();
    fillList(ui, "ComboBox_ExportContest", sheet, "Contest");
    ui.setItemIndex("ComboBox_ExportContest", -1);
}

void FillHistoryFileContests(ui::Ui& ui, shell::DataObjects& data) {
    {
        OpenSheet sheet(data, kImportSheet);
        sheet.keepListedRows();
        fillList(ui, "Combobox_Contest", sheet, "Contest_general");
    }
    ui.setItemIndex("Combobox_Contest", 0);
    ui.setEnabled("Combobox_Contest", true);
    ui.setEnabled("Label_Contest", true);
}

void OpenImportSheet(shell::DataObjects& data) { openSheet(data.ADODataSet_Mapping, kImportSheet); }

void CloseSheet(shell::DataObjects& data) { data.ADODataSet_Mapping.close(); }

bool IsLoggerContestListed(shell::DataObjects& data, const std::string& contestName) {
    return data.ADODataSet_Mapping.locate("Contest;History", {contestName, "1"});
}

bool CheckLoggerContest(ui::Ui& ui, shell::DataObjects& data, const std::string& contestName) {
    OpenSheet sheet(data, kImportSheet);
    if (!sheet->locate("Contest", {contestName})) {
        ui.showMessageBox(
            "No import mapping exists for this content, create contest in mapping file and restart program",
            ui::BoxKind::Information, ui::BoxButtons::Ok);
        return false;
    }
    if (sheet->text("History") != "1") {
        ui.showMessageBox("Selected contest is not supported in N1MM Logger to use history", ui::BoxKind::Information,
                          ui::BoxButtons::Ok);
        return false;
    }
    return true;
}

FieldMap BuildFieldMap(shell::DataObjects& data, ImportKind kind, const std::string& key) {
    OpenSheet sheet(data, kImportSheet);
    const bool logger = kind == ImportKind::Logger;
    requireRow(sheet, "ImportMapping", logger ? "Contest" : "Contest_general", key);

    FieldMap fieldMap;
    for (const char* column : logger ? kLoggerColumns : kHistoryFileColumns)
        AddFieldMapping(fieldMap, column, sheet->text(column));
    return fieldMap;
}

std::array<std::string, 8> ReadExportColumns(shell::DataObjects& data, const std::string& contest) {
    OpenSheet sheet(data, kExportSheet);
    requireRow(sheet, "ExportMapping", "Contest", contest);

    std::array<std::string, 8> columns;
    for (std::size_t i = 0; i < columns.size(); ++i) columns[i] = sheet->text(kExportColumns[i]);
    return columns;
}

}  // namespace kv::mapping
