#include "import/ordered_history_file.h"

#include "data_access/text_fold.h"
#include "import/call_history_format.h"
#include "import/station_rows.h"

#include <algorithm>
#include <utility>

namespace kv::import {
namespace {

std::vector<std::string> loggerFieldNames() { return {kLoggerFields.begin(), kLoggerFields.end()}; }

}  // namespace

OrderedHistoryFile::OrderedHistoryFile(std::string path)
    : path_(std::move(path)),
      parsed_(parseCallHistory(readCallHistoryText(path_), path_)),
      connection_(std::make_unique<data_access::Connection>()) {
    holdStationRows(*connection_, path_, loggerFieldNames(), std::exchange(parsed_.stations, {}));
}

OrderedHistoryFile::~OrderedHistoryFile() = default;

data_access::Cursor OrderedHistoryFile::open() { return openStationRows(*connection_, "ADODataSet_Hist"); }

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
