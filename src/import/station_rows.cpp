#include "import/station_rows.h"

#include "data_access/memory_table.h"
#include "data_access/text_fold.h"

#include <stdexcept>
#include <utility>

namespace kv::import {
namespace {

constexpr const char* kStationsTable = "stations";

class StationsProvider final : public data_access::Provider {
public:
    StationsProvider(std::string sourceName, std::vector<std::string> columns, data_access::PackedRows rows)
        : sourceName_(std::move(sourceName)), columns_(std::move(columns)), rows_(std::move(rows)) {}

    std::vector<std::string> tableNames() override { return {kStationsTable}; }

    std::unique_ptr<data_access::ProviderTable> openTable(const std::string& name) override {
        if (!data_access::equalIgnoringCase(name, kStationsTable) || handedOver_)
            throw std::logic_error("the stations of " + sourceName_ + " are read once, as table " + kStationsTable);
        handedOver_ = true;
        return std::make_unique<data_access::MemoryTable>(sourceName_, std::move(columns_), std::move(rows_));
    }

private:
    std::string sourceName_;
    std::vector<std::string> columns_;
    data_access::PackedRows rows_;
    bool handedOver_ = false;
};

}  // namespace

void holdStationRows(data_access::Connection& connection, std::string sourceName, std::vector<std::string> columns,
                     data_access::PackedRows rows) {
    connection.open(std::make_unique<StationsProvider>(std::move(sourceName), std::move(columns), std::move(rows)));
}

data_access::Cursor openStationRows(data_access::Connection& connection, std::string cursorName) {
    data_access::Cursor rows(std::move(cursorName));
    rows.setConnection(&connection);
    rows.setTableName(kStationsTable);
    rows.open();
    return rows;
}

}  // namespace kv::import
