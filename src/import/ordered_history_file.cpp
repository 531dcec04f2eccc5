#include "import/ordered_history_file.h"

#include "data_access/memory_table.h"
#include "data_access/text_fold.h"
#include "import/call_history_format.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace kv::import {
namespace {

constexpr const char* kStationsTable = "stations";

std::vector<std::string> loggerFieldNames() { return {kLoggerFields.begin(), kLoggerFields.end()}; }

// The file's stations as one read-only table. The rows are handed over to the connection, which
// keeps them while it is open, so that they are held once.
class StationsProvider final : public data_access::Provider {
public:
    StationsProvider(std::string fileName, std::vector<data_access::Row> rows)
        : fileName_(std::move(fileName)), rows_(std::move(rows)) {}

    std::vector<std::string> tableNames() override { return {kStationsTable}; }

    std::unique_ptr<data_access::ProviderTable> openTable(const std::string& name) override {
        if (!data_access::equalIgnoringCase(name, kStationsTable) || handedOver_)
            throw std::logic_error("the stations of " + fileName_ + " are read once, as table " + kStationsTable);
        handedOver_ = true;
        return std::make_unique<data_access::MemoryTable>(fileName_, loggerFieldNames(), std::move(rows_));
    }

private:
    std::string fileName_;
    std::vector<data_access::Row> rows_;
    bool handedOver_ = false;
};

}  // namespace

OrderedHistoryFile::OrderedHistoryFile(std::string path)
    : path_(std::move(path)),
      parsed_(parseCallHistory(readCallHistoryText(path_), path_)),
      connection_(std::make_unique<data_access::Connection>()) {
    connection_->open(std::make_unique<StationsProvider>(path_, std::exchange(parsed_.stations, {})));
}

OrderedHistoryFile::~OrderedHistoryFile() = default;

data_access::Cursor OrderedHistoryFile::open() {
    data_access::Cursor rows("ADODataSet_Hist");
    rows.setConnection(connection_.get());
    rows.setTableName(kStationsTable);
    rows.open();
    return rows;
}

std::string OrderedHistoryFile::rowPlace(const data_access::Cursor& row) const {
    const long long position = row.position();
    if (position < 0 || static_cast<std::size_t>(position) >= parsed_.stationLines.size())
        return ImportSource::rowPlace(row);
    return "line " + std::to_string(parsed_.stationLines[static_cast<std::size_t>(position)]);
}

mapping::FieldMap OrderedHistoryFile::fieldMap(const std::vector<std::string>& historyColumns) const {
    const auto columnNamed = [&](std::string_view field) -> std::string {
        const auto found = std::ranges::find_if(
            historyColumns, [&](const std::string& column) { return data_access::equalIgnoringCase(column, field); });
        return found == historyColumns.end() ? std::string() : *found;
    };
    mapping::FieldMap map;
    map.setKey(std::string(kLoggerFields[0]), columnNamed(kLoggerFields[0]));
    for (std::size_t i = 1; i < kLoggerFields.size(); ++i)
        map.add(std::string(kLoggerFields[i]), columnNamed(kLoggerFields[i]));
    return map;
}

std::vector<std::string> OrderedHistoryFile::fieldsSkipped(const mapping::FieldMap& fieldMap) const {
    std::vector<std::string> skipped;
    for (std::size_t i = 0; i < kLoggerFields.size(); ++i) {
        const bool mapped = (fieldMap.key() && fieldMap.key()->source == kLoggerFields[i]) ||
                            std::ranges::any_of(fieldMap.values(), [&](const mapping::AList& entry) {
                                return entry.source == kLoggerFields[i];
                            });
        if (parsed_.fieldsGiven[i] && !mapped) skipped.emplace_back(kLoggerFields[i]);
    }
    skipped.insert(skipped.end(), parsed_.unknownNames.begin(), parsed_.unknownNames.end());
    return skipped;
}

}  // namespace kv::import
