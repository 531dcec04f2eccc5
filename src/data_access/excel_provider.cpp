#include "data_access/excel_provider.h"

#include <algorithm>
#include <span>
#include <stdexcept>

#include "data_access/memory_table.h"
#include "data_access/text_fold.h"
#include "data_access/whole_file.h"
#include "data_access/workbook/workbook_damage.h"
#include "data_access/workbook/workbook_reader.h"

namespace kv::data_access {
namespace {

std::vector<workbook::Sheet> readSheets(const std::string& path) {
    const std::string bytes = readWholeFile(path);
    try {
        return workbook::readWorkbook(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    } catch (const workbook::WorkbookProtected&) {
        throw std::runtime_error("Workbook " + path + " is password protected and cannot be read");
    } catch (const workbook::WorkbookDamage& damage) {
        throw std::runtime_error("Workbook " + path + " is damaged or not an Excel 8.0 workbook (" + damage.what() +
                                 ")");
    }
}

// The sheet's cells row by row, rows after the last that holds a value left out.
std::vector<Row> rowsOf(const workbook::Sheet& sheet) {
    std::size_t usedRows = 0;
    for (const auto& cell : sheet.cells) usedRows = std::max<std::size_t>(usedRows, cell.row + 1u);
    std::vector<Row> rows(usedRows, Row(sheet.columns));
    for (const auto& cell : sheet.cells) rows[cell.row][cell.column] = cell.text;
    return rows;
}

// "[Sheet$]" and "Sheet$" both name the sheet "Sheet".
std::string sheetOfTableName(std::string name) {
    if (name.size() >= 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
    if (!name.empty() && name.back() == '$') name.pop_back();
    return name;
}

std::unique_ptr<ProviderTable> tableFromCells(const std::string& source, std::vector<Row> cells) {
    std::vector<std::string> columns;
    if (!cells.empty()) {
        // An empty header cell gets the name Jet gives it: F and the column's number.
        for (std::size_t c = 0; c < cells.front().size(); ++c)
            columns.push_back(cells.front()[c].value_or("F" + std::to_string(c + 1)));
        cells.erase(cells.begin());
    }
    return std::make_unique<MemoryTable>(source, std::move(columns), std::move(cells));
}

class ExcelProvider : public Provider {
public:
    explicit ExcelProvider(const std::string& path) : path_(path), sheets_(readSheets(path)) {}

    std::vector<std::string> tableNames() override {
        std::vector<std::string> names;
        for (const auto& sheet : sheets_) names.push_back(sheet.name + "$");
        return names;
    }

    std::unique_ptr<ProviderTable> openTable(const std::string& name) override {
        const std::string wanted = sheetOfTableName(name);
        for (const auto& sheet : sheets_)
            if (equalIgnoringCase(sheet.name, wanted))
                return tableFromCells("Workbook " + path_ + " (sheet " + sheet.name + ")", rowsOf(sheet));
        throw std::runtime_error("Workbook " + path_ + " has no sheet " + wanted);
    }

private:
    std::string path_;
    std::vector<workbook::Sheet> sheets_;
};

}  // namespace

std::unique_ptr<Provider> openExcelProvider(const std::string& path) { return std::make_unique<ExcelProvider>(path); }

}  // namespace kv::data_access
