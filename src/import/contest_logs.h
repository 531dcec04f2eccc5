#pragma once
// Contest logs chosen as an import's source: Cabrillo logs (import/cabrillo_log.h) and ADIF files
// (import/adif_log.h), one or many, read for one contest. Every file is read, told apart by its
// content, parsed and folded into the vote (import/station_vote.h) when the source is made, one
// file at a time, so that no more than one file's text is held. The stations the vote decides
// are then merged as any other source's rows, each column into the History column of its name.
//
// A Cabrillo log is laid out by its contest's CabrilloMapping row (mapping/cabrillo_mapping.h);
// a log of another contest is read but not taken. An ADIF record goes by its field names
// (import/adif_columns.h); a record whose CONTEST_ID names another contest is not taken, one
// without a CONTEST_ID is taken as the run's contest. A QSO line with fewer or more fields than
// its layout, and an ADIF record with no CALL or cut short, is skipped and counted.

#include "history_db/progress.h"
#include "import/import_source.h"
#include "mapping/field_map.h"
#include "mapping/mapping_workbook.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kv::data_access {
class Connection;
}

namespace kv::import {

// What reading the logs found besides the stations.
struct LogCounts {
    long long logs = 0;          // files read
    long long qsos = 0;          // QSO lines and ADIF records read, taken or not
    long long malformed = 0;     // skipped as malformed
    std::string firstMalformed;  // where the first is: "FILE line N"
    long long otherContest = 0;  // skipped as of another contest
    long long conflicts = 0;     // columns of stations on which the logs disagreed, decided by the vote

    bool operator==(const LogCounts&) const = default;
};

// A file that is neither a Cabrillo log nor an ADIF file.
class NotAContestLog : public std::runtime_error {
public:
    explicit NotAContestLog(const std::string& path)
        : std::runtime_error(path + " is neither a Cabrillo log nor an ADIF file") {}
};

// The least number of logs a new station must have been worked in, as a user types it: a whole
// number from 1; none for any other text.
std::optional<unsigned> readMinLogs(std::string_view text);

// The status told while the logs are read, with the files done of the files chosen.
inline constexpr const char* kReadingLogsStatus = "Reading contest logs";

// The contests the logs at `paths` are of, distinct regardless of letter case, as first written,
// in file order: each Cabrillo log's CONTEST and each ADIF record's CONTEST_ID. Throws, naming
// the file, for one that cannot be read or is no contest log (NotAContestLog).
std::vector<std::string> contestsOfLogs(const std::vector<std::string>& paths);

class ContestLogs final : public ImportSource {
public:
    // Reads every file of `paths` for the contest `contest` (its Cabrillo name, CQ-WW-CW). A new
    // station is let in only when at least `minLogs` logs worked it or it is the owner of a log.
    // Throws, naming the contest, when CabrilloMapping has no row for it or the ImportMapping
    // contest of its row does not take part in call history; naming the file, as contestsOfLogs.
    ContestLogs(std::vector<std::string> paths, mapping::MappingWorkbook& workbook, std::string contest,
                unsigned minLogs, const history_db::Progress& progress);
    ~ContestLogs() override;

    // Its contest is the ImportMapping contest of its CabrilloMapping row.
    mapping::ImportKind mappingKind() const override { return mapping::ImportKind::Logger; }
    const std::string& mappingKey() const override { return workbookContest_; }
    // One row per station the vote decided: Call, then the History columns some station has a
    // value for.
    data_access::Cursor open() override;
    bool isStation(const data_access::Cursor&) const override { return true; }
    bool mayInsert(const data_access::Cursor& row) const override;
    // Where the station was first heard: "FILE line N".
    std::string rowPlace(const data_access::Cursor& row) const override;

    // Call -> Call, every other column into the History column of its name.
    mapping::FieldMap fieldMap() const;
    const LogCounts& counts() const { return counts_; }

private:
    struct Admission {
        std::uint32_t logsWorked = 0;
        bool ownsLog = false;
        std::uint32_t file = 0;
        std::uint32_t line = 0;
    };

    std::vector<std::string> paths_;
    std::string workbookContest_;
    unsigned minLogs_;
    std::vector<std::string> columns_;   // Call first
    std::vector<Admission> admissions_;  // by row
    LogCounts counts_;
    std::unique_ptr<data_access::Connection> connection_;
};

}  // namespace kv::import
