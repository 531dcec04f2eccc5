#pragma once
// A call-history file read as the logger reads it (import/call_history_format.h): each station's
// fields go to the History columns of the same names, letter case ignored, through the
// `!!Order!!` line in force; Call is the key. The file is read whole once, when it is chosen, so
// that one changing meanwhile cannot tear a run; it is only read, never copied.

#include "data_access/connection.h"
#include "import/call_history_format.h"
#include "import/import_source.h"
#include "mapping/field_map.h"

#include <memory>
#include <string>
#include <vector>

namespace kv::import {

// The entry of the contest list, and the contest type, that reads a file by its `!!Order!!`.
inline constexpr const char* kByOrderContestType = "As the file's !!Order!! says";

class OrderedHistoryFile final : public ImportSource {
public:
    // Reads and parses `path`. Throws, naming the file, what readCallHistoryText and
    // parseCallHistory throw.
    explicit OrderedHistoryFile(std::string path);
    ~OrderedHistoryFile() override;

    const std::string& path() const { return path_; }

    mapping::ImportKind mappingKind() const override { return mapping::ImportKind::HistoryFile; }
    const std::string& mappingKey() const override { return contestType_; }
    // The stations, one column per field of the logger named as it names them (kLoggerFields).
    data_access::Cursor open() override;
    bool isStation(const data_access::Cursor&) const override { return true; }
    // "line 12": the station's line in the file.
    std::string rowPlace(const data_access::Cursor& row) const override;

    // Call -> the History column Call; every other field of the logger -> the History column of
    // the same name ignoring case, when `historyColumns` has one.
    mapping::FieldMap fieldMap(const std::vector<std::string>& historyColumns) const;
    // The fields that hold values in the file but that `fieldMap` does not take, in the logger's
    // order, then the names of `!!Order!!` lines that are no field of the logger.
    std::vector<std::string> fieldsSkipped(const mapping::FieldMap& fieldMap) const;
    long long extraFields() const { return parsed_.extraFields; }
    long long firstExtraLine() const { return parsed_.firstExtraLine; }

private:
    std::string path_;
    std::string contestType_ = kByOrderContestType;
    // What the parse found, but its stations, which the connection holds.
    CallHistory parsed_;
    std::unique_ptr<data_access::Connection> connection_;
};

}  // namespace kv::import
