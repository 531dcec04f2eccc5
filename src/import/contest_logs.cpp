#include "import/contest_logs.h"

#include "data_access/connection.h"
#include "data_access/text_encoding.h"
#include "data_access/text_fold.h"
#include "data_access/whole_file.h"
#include "import/adif_columns.h"
#include "import/adif_log.h"
#include "import/cabrillo_log.h"
#include "import/log_text.h"
#include "import/regular_file.h"
#include "import/station_rows.h"
#include "import/station_vote.h"

#include <algorithm>
#include <deque>
#include <optional>

namespace kv::import {
namespace {

// A file's text: as UTF-8, and, for an ADIF file that is not UTF-8, its bytes, whose lengths
// its tags count.
struct LogText {
    std::string text;
    std::optional<std::string> windows1252Bytes;
};

LogText readLog(const std::string& path) {
    requireRegularFile(path);
    std::string bytes = data_access::readWholeFile(path);
    std::string text = data_access::decodeTextFile(bytes, path);
    if (data_access::isValidUtf8(bytes)) return {std::move(text), std::nullopt};
    return {std::move(text), std::move(bytes)};
}

enum class LogKind { Cabrillo, Adif };

LogKind kindOf(const std::string& text, const std::string& path) {
    if (looksLikeCabrillo(text)) return LogKind::Cabrillo;
    if (looksLikeAdif(text)) return LogKind::Adif;
    throw NotAContestLog(path);
}

std::string_view adifText(const LogText& log) { return log.windows1252Bytes ? *log.windows1252Bytes : log.text; }

// The QSO's time as a number that grows with it, yyyymmddhhmm, from the digits of its date and
// the first four of its time; what is no digit is passed over.
long long timeKey(std::string_view date, std::string_view time) {
    long long key = 0;
    const auto take = [&](std::string_view text, int most) {
        int taken = 0;
        for (const char c : text) {
            if (c < '0' || c > '9') continue;
            if (taken++ == most) break;
            key = key * 10 + (c - '0');
        }
        for (; taken < most; ++taken) key *= 10;
    };
    take(date, 8);
    take(time, 4);
    return key;
}

void addDistinct(std::vector<std::string>& names, std::string_view name) {
    if (name.empty()) return;
    if (std::ranges::none_of(names, [&](const std::string& held) { return equalsIgnoringCase(held, name); }))
        names.emplace_back(name);
}

std::size_t columnIndex(std::vector<std::string>& columns, std::string_view column) {
    const auto found = std::ranges::find_if(
        columns, [&](const std::string& held) { return data_access::equalIgnoringCase(held, column); });
    if (found != columns.end()) return static_cast<std::size_t>(found - columns.begin());
    columns.emplace_back(column);
    return columns.size() - 1;
}

// Folds the files of one run into its vote, one file at a time.
class LogFolder {
public:
    LogFolder(const std::vector<mapping::CabrilloMapping>& layouts, std::string contest, LogCounts& counts)
        : layouts_(layouts), contest_(std::move(contest)), counts_(counts) {
        for (const mapping::CabrilloMapping& layout : layouts_)
            for (const auto* exchange : {&layout.sent, &layout.received})
                for (const std::string& column : *exchange)
                    if (!column.empty()) columnIndex(columns_, column);
        adifReceived_ = adifSide(kAdifReceivedColumns, kAdifReceivedText);
        adifSent_ = adifSide(kAdifOwnColumns, kAdifSentText);
        vote_.emplace(columns_);
        received_.resize(columns_.size());
        sent_.resize(columns_.size());
    }

    void fold(const std::string& path, std::uint32_t file) {
        const LogText log = readLog(path);
        ++counts_.logs;
        vote_->beginLog();
        file_ = file;
        path_ = &path;
        if (kindOf(log.text, path) == LogKind::Cabrillo)
            foldCabrillo(parseCabrillo(log.text));
        else
            foldAdif(parseAdif(adifText(log)), log.windows1252Bytes.has_value());
    }

    const StationVote& vote() const { return *vote_; }

private:
    // One side of an ADIF record: its fields, each with its vote column (none: read, not kept),
    // and the field of the whole exchange as text with its column.
    struct AdifSide {
        std::vector<std::pair<std::string_view, std::optional<std::size_t>>> fields;
        std::string_view wholeTextField;
        std::size_t wholeTextColumn = 0;
    };

    // Registers the side's columns with the vote's, so that no record looks a column up by name.
    template <typename Table>
    AdifSide adifSide(const Table& table, const AdifColumn& wholeText) {
        AdifSide side;
        for (const AdifColumn& entry : table)
            side.fields.emplace_back(
                entry.field, entry.column.empty() ? std::nullopt : std::optional(columnIndex(columns_, entry.column)));
        side.wholeTextField = wholeText.field;
        side.wholeTextColumn = columnIndex(columns_, wholeText.column);
        return side;
    }

    void malformed(long long line) {
        if (counts_.malformed++ == 0) counts_.firstMalformed = *path_ + " line " + std::to_string(line);
    }

    void clearValues() {
        std::ranges::fill(received_, std::string_view());
        std::ranges::fill(sent_, std::string_view());
    }

    // The exchange's columns as indexes into the vote's; none for a field not kept.
    std::vector<std::optional<std::size_t>> indexesOf(const std::vector<std::string>& exchange) {
        std::vector<std::optional<std::size_t>> indexes;
        for (const std::string& column : exchange)
            indexes.push_back(column.empty() ? std::nullopt : std::optional(columnIndex(columns_, column)));
        return indexes;
    }

    // The row for the log's LOCATION, else the first row for any location.
    const mapping::CabrilloMapping& layoutFor(std::string_view location) const {
        const mapping::CabrilloMapping* anyLocation = nullptr;
        for (const mapping::CabrilloMapping& layout : layouts_) {
            if (!layout.location.empty() && equalsIgnoringCase(layout.location, location)) return layout;
            if (layout.location.empty() && !anyLocation) anyLocation = &layout;
        }
        return anyLocation ? *anyLocation : layouts_.front();
    }

    // freq mode date time mycall sent... call received... [transmitter]
    void foldCabrillo(const CabrilloLog& log) {
        counts_.qsos += static_cast<long long>(log.qsos.size());
        if (!equalsIgnoringCase(log.contest, contest_)) {
            counts_.otherContest += static_cast<long long>(log.qsos.size());
            return;
        }
        const mapping::CabrilloMapping& layout = layoutFor(log.location);
        const std::vector<std::optional<std::size_t>> sent = indexesOf(layout.sent);
        const std::vector<std::optional<std::size_t>> received = indexesOf(layout.received);
        const std::size_t callField = 5 + sent.size();
        const std::size_t fields = callField + 1 + received.size();
        for (const CabrilloQso& qso : log.qsos) {
            if (qso.fieldCount != fields && qso.fieldCount != fields + 1) {
                malformed(qso.line);
                continue;
            }
            clearValues();
            for (std::size_t k = 0; k < sent.size(); ++k)
                if (sent[k]) sent_[*sent[k]] = log.field(qso, 5 + k);
            for (std::size_t k = 0; k < received.size(); ++k)
                if (received[k]) received_[*received[k]] = log.field(qso, callField + 1 + k);
            const long long when = timeKey(log.field(qso, 2), log.field(qso, 3));
            const VotePlace place{file_, static_cast<std::uint32_t>(qso.line)};
            vote_->addReport(log.field(qso, callField), received_, when, place);
            vote_->addOwnWord(log.field(qso, 4), sent_, when, place);
        }
    }

    void foldAdif(const AdifLog& log, bool windows1252) {
        counts_.qsos += static_cast<long long>(log.records.size() + log.brokenRecords.size());
        for (const long long line : log.brokenRecords) malformed(line);
        for (const AdifRecord& record : log.records) {
            const std::string_view contest = log.value(record, "CONTEST_ID");
            if (!contest.empty() && !equalsIgnoringCase(contest, contest_)) {
                ++counts_.otherContest;
                continue;
            }
            const std::string_view call = log.value(record, "CALL");
            if (call.empty()) {
                malformed(record.line);
                continue;
            }
            decoded_.clear();
            const auto valueOf = [&](std::string_view field) -> std::string_view {
                const std::string_view value = log.value(record, field);
                if (!windows1252 || value.empty()) return value;
                return decoded_.emplace_back(data_access::decodeTextFile(value, *path_));
            };
            clearValues();
            take(adifReceived_, received_, valueOf);
            const bool own = take(adifSent_, sent_, valueOf);
            const long long when = timeKey(log.value(record, "QSO_DATE"), log.value(record, "TIME_ON"));
            const VotePlace place{file_, static_cast<std::uint32_t>(record.line)};
            vote_->addReport(valueOf("CALL"), received_, when, place);
            std::string_view owner = valueOf("STATION_CALLSIGN");
            if (owner.empty()) owner = valueOf("OPERATOR");
            if (own && !owner.empty()) vote_->addOwnWord(owner, sent_, when, place);
        }
    }

    // Fills `values` from one side's fields; the exchange as text only when no field of the side
    // held a value. Returns whether any did.
    template <typename ValueOf>
    static bool take(const AdifSide& side, std::vector<std::string_view>& values, const ValueOf& valueOf) {
        bool any = false;
        for (const auto& [field, column] : side.fields) {
            const std::string_view value = valueOf(field);
            if (value.empty()) continue;
            any = true;
            if (!column) continue;
            std::string_view& slot = values[*column];
            if (slot.empty()) slot = value;
        }
        if (any) return true;
        const std::string_view text = valueOf(side.wholeTextField);
        values[side.wholeTextColumn] = text;
        return !text.empty();
    }

    const std::vector<mapping::CabrilloMapping>& layouts_;
    std::string contest_;
    LogCounts& counts_;
    std::vector<std::string> columns_;
    AdifSide adifReceived_;
    AdifSide adifSent_;
    std::optional<StationVote> vote_;
    std::vector<std::string_view> received_;
    std::vector<std::string_view> sent_;
    std::deque<std::string> decoded_;  // a record's values read as Windows-1252; the views stay valid
    std::uint32_t file_ = 0;
    const std::string* path_ = nullptr;
};

}  // namespace

std::optional<unsigned> readMinLogs(std::string_view text) {
    if (text.empty() || text.size() > 6 || !std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const unsigned count = static_cast<unsigned>(std::stoul(std::string(text)));
    return count == 0 ? std::nullopt : std::optional(count);
}

std::vector<std::string> contestsOfLogs(const std::vector<std::string>& paths) {
    std::vector<std::string> contests;
    for (const std::string& path : paths) {
        const LogText log = readLog(path);
        if (kindOf(log.text, path) == LogKind::Cabrillo) {
            addDistinct(contests, cabrilloContest(log.text));
            continue;
        }
        const AdifLog adif = parseAdif(adifText(log));
        for (const AdifRecord& record : adif.records) addDistinct(contests, adif.value(record, "CONTEST_ID"));
    }
    return contests;
}

ContestLogs::ContestLogs(std::vector<std::string> paths, mapping::MappingWorkbook& workbook, std::string contest,
                         unsigned minLogs, const history_db::Progress& progress)
    : paths_(std::move(paths)), minLogs_(minLogs), connection_(std::make_unique<data_access::Connection>()) {
    const std::vector<mapping::CabrilloMapping> layouts = workbook.cabrilloMappings(contest);
    if (layouts.empty())
        throw std::runtime_error("The mapping workbook has no CabrilloMapping row for the contest \"" + contest + "\"");
    workbookContest_ = layouts.front().contest;
    if (!workbook.isLoggerContestListed(workbookContest_))
        throw std::runtime_error("The contest \"" + contest + "\" (" + workbookContest_ +
                                 " in the mapping workbook) does not take part in call history");

    LogFolder folder(layouts, contest, counts_);
    progress.tell(kReadingLogsStatus);
    const long long total = static_cast<long long>(paths_.size());
    progress.rowsDone(0, total);
    for (std::uint32_t file = 0; file < paths_.size(); ++file) {
        folder.fold(paths_[file], file);
        progress.rowsDone(file + 1, total);
    }

    const StationVote& vote = folder.vote();
    counts_.conflicts = vote.conflicts();
    std::vector<VotedStation> stations = vote.result();
    // Only the columns some station has a value for are merged.
    std::vector<std::size_t> told;
    for (std::size_t k = 0; k < vote.columns().size(); ++k)
        if (std::ranges::any_of(stations, [&](const VotedStation& station) { return !station.values[k].empty(); }))
            told.push_back(k);
    columns_.push_back("Call");
    for (const std::size_t k : told) columns_.push_back(vote.columns()[k]);

    data_access::PackedRows rows;
    admissions_.reserve(stations.size());
    data_access::Row row;
    for (VotedStation& station : stations) {
        row.clear();
        row.emplace_back(std::move(station.call));
        for (const std::size_t k : told) row.emplace_back(std::move(station.values[k]));
        rows.add(row);
        admissions_.push_back({station.logsWorked, station.ownsLog, station.firstHeard.file, station.firstHeard.line});
    }
    holdStationRows(*connection_, paths_.empty() ? std::string() : paths_.front(), columns_, std::move(rows));
}

ContestLogs::~ContestLogs() = default;

data_access::Cursor ContestLogs::open() { return openStationRows(*connection_, "ADODataSet_Logs"); }

bool ContestLogs::mayInsert(const data_access::Cursor& row) const {
    const Admission& admission = admissions_.at(static_cast<std::size_t>(row.position()));
    return admission.ownsLog || admission.logsWorked >= minLogs_;
}

std::string ContestLogs::rowPlace(const data_access::Cursor& row) const {
    const long long position = row.position();
    if (position < 0 || static_cast<std::size_t>(position) >= admissions_.size()) return ImportSource::rowPlace(row);
    const Admission& admission = admissions_[static_cast<std::size_t>(position)];
    return paths_.at(admission.file) + " line " + std::to_string(admission.line);
}

mapping::FieldMap ContestLogs::fieldMap() const {
    mapping::FieldMap map;
    map.setKey(columns_.front(), columns_.front());
    for (std::size_t k = 1; k < columns_.size(); ++k) map.add(columns_[k], columns_[k]);
    return map;
}

}  // namespace kv::import
