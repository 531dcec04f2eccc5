#include "data_access/excel_provider.h"

#include <freexl.h>

#include <cstdio>
#include <stdexcept>

#include "data_access/date_text.h"
#include "data_access/memory_table.h"
#include "data_access/number_text.h"
#include "data_access/text_fold.h"

namespace kv::data_access {
namespace {

class Workbook {
public:
    explicit Workbook(std::string path) : path_(std::move(path)) {
        int result = freexl_open(path_.c_str(), &handle_);
        if (result != FREEXL_OK) {
            freexl_close(handle_);
            handle_ = nullptr;
            fail(result);
        }
        unsigned int protection = FREEXL_BIFF_PLAIN;
        if (freexl_get_info(handle_, FREEXL_BIFF_PASSWORD, &protection) == FREEXL_OK &&
            protection == FREEXL_BIFF_OBFUSCATED) {
            freexl_close(handle_);
            throw std::runtime_error("Workbook " + path_ + " is password protected and cannot be read");
        }
    }
    ~Workbook() { freexl_close(handle_); }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    std::vector<std::string> sheetNames() const {
        unsigned int count = 0;
        check(freexl_get_info(handle_, FREEXL_BIFF_SHEET_COUNT, &count));
        std::vector<std::string> names;
        for (unsigned int i = 0; i < count; ++i) {
            const char* name = nullptr;
            check(freexl_get_worksheet_name(handle_, static_cast<unsigned short>(i), &name));
            names.emplace_back(name ? name : "");
        }
        return names;
    }

    // The sheet's cells row by row, trailing rows without any value left out.
    std::vector<Row> readSheet(unsigned short sheet) const {
        check(freexl_select_active_worksheet(handle_, sheet));
        unsigned int rowCount = 0;
        unsigned short columnCount = 0;
        check(freexl_worksheet_dimensions(handle_, &rowCount, &columnCount));
        std::vector<Row> rows;
        std::size_t usedRows = 0;
        for (unsigned int r = 0; r < rowCount; ++r) {
            Row row(columnCount);
            for (unsigned short c = 0; c < columnCount; ++c) {
                FreeXL_CellValue cell;
                check(freexl_get_cell_value(handle_, r, c, &cell));
                row[c] = cellText(cell);
                if (row[c]) usedRows = r + 1;
            }
            rows.push_back(std::move(row));
        }
        rows.resize(usedRows);
        return rows;
    }

    const std::string& path() const { return path_; }

private:
    // Dates come as "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS" or "HH:MM:SS".
    static std::string dateText(const char* text) {
        DateTime value;
        if (std::sscanf(text, "%d-%d-%d %d:%d:%d", &value.year, &value.month, &value.day, &value.hour, &value.minute,
                        &value.second) >= 3)
            return formatDateTime(value);
        if (std::sscanf(text, "%d:%d:%d", &value.hour, &value.minute, &value.second) == 3) {
            char time[16];
            std::snprintf(time, sizeof time, "%d:%02d:%02d", value.hour, value.minute, value.second);
            return time;
        }
        return text;
    }

    static Value cellText(const FreeXL_CellValue& cell) {
        switch (cell.type) {
        case FREEXL_CELL_INT: return std::to_string(cell.value.int_value);
        case FREEXL_CELL_DOUBLE: return formatNumber(cell.value.double_value);
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
            if (!cell.value.text_value || !*cell.value.text_value) return std::nullopt;
            return std::string(cell.value.text_value);
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME: return dateText(cell.value.text_value);
        default: return std::nullopt;
        }
    }

    void check(int result) const {
        if (result != FREEXL_OK) fail(result);
    }

    [[noreturn]] void fail(int result) const {
        throw std::runtime_error("Workbook " + path_ + " is damaged or not an Excel 8.0 workbook (freexl error " +
                                 std::to_string(result) + ")");
    }

    std::string path_;
    const void* handle_ = nullptr;
};

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
    explicit ExcelProvider(const std::string& path) : workbook_(path) {}

    std::vector<std::string> tableNames() override {
        std::vector<std::string> names;
        for (auto& sheet : workbook_.sheetNames()) names.push_back(sheet + "$");
        return names;
    }

    std::unique_ptr<ProviderTable> openTable(const std::string& name) override {
        std::string sheet = sheetOfTableName(name);
        auto sheets = workbook_.sheetNames();
        for (std::size_t i = 0; i < sheets.size(); ++i)
            if (equalIgnoringCase(sheets[i], sheet))
                return tableFromCells("Workbook " + workbook_.path() + " (sheet " + sheets[i] + ")",
                                      workbook_.readSheet(static_cast<unsigned short>(i)));
        throw std::runtime_error("Workbook " + workbook_.path() + " has no sheet " + sheet);
    }

private:
    Workbook workbook_;
};

}  // namespace

std::unique_ptr<Provider> openExcelProvider(const std::string& path) { return std::make_unique<ExcelProvider>(path); }

}  // namespace kv::data_access
