#include "cli/import_subcommands.h"

#include "cli/history_subcommands.h"
#include "cli/listing.h"
#include "data_access/date_text.h"
#include "import/contest_entry.h"
#include "import/contest_logs.h"
#include "import/history_file.h"
#include "import/import_run.h"
#include "import/logger_log.h"
#include "import/order_conflict.h"
#include "import/ordered_history_file.h"

#include <algorithm>

namespace kv::cli {
namespace {

// --start: the day a contest instance started.
struct Day {
    int year, month, day;
    bool operator==(const Day&) const = default;
};

std::optional<Day> startDay(const CommandLine& line) {
    const std::optional<std::string> start = line.value("--start");
    if (!start) return std::nullopt;
    const std::optional<data_access::DateTime> date = data_access::parseIsoDateTime(*start);
    if (!date || start->find_first_of(" T") != std::string::npos)
        throw UsageError("--start is a date written YYYY-MM-DD, not \"" + *start + "\"");
    return Day{date->year, date->month, date->day};
}

bool startedOn(const import::ContestInstance& instance, const Day& day) {
    const std::optional<data_access::DateTime> start = data_access::parseDateTime(instance.start);
    return start && Day{start->year, start->month, start->day} == day;
}

std::vector<std::string> entryTexts(const std::vector<import::ContestInstance>& instances) {
    std::vector<std::string> texts;
    for (const import::ContestInstance& instance : instances)
        texts.push_back(import::contestEntryText(instance.name, instance.start));
    return texts;
}

// The one instance of --contest (and --start) among those the workbook takes for call history.
kv::import::ContestInstance chosenInstance(const std::vector<import::ContestInstance>& listed,
                                           const std::string& contest, const std::optional<Day>& start) {
    std::vector<import::ContestInstance> chosen;
    std::ranges::copy_if(listed, std::back_inserter(chosen), [&](const import::ContestInstance& instance) {
        return instance.name == contest && (!start || startedOn(instance, *start));
    });
    if (chosen.size() == 1) return chosen.front();
    const std::string day =
        start ? " that started on " + data_access::formatDate(start->year, start->month, start->day) : std::string();
    if (chosen.empty())
        throw Refusal("The log holds no contest \"" + contest + "\"" + day +
                      " that the mapping workbook takes for call history; it holds: " + joined(entryTexts(listed)));
    throw Refusal("The log holds \"" + contest +
                  "\" more than once; choose one with --start YYYY-MM-DD: " + joined(entryTexts(chosen)));
}  // namespace

// Contest logs: the logs and QSOs read, then the QSOs and stations skipped, each only when any.
void printLogCounts(Session& session, const import::ImportCounts& counts) {
    const import::LogCounts& logs = counts.logs;
    if (logs.logs == 0) return;
    session.out << ", logs " << logs.logs << ", QSOs " << logs.qsos;
    if (logs.malformed > 0) session.out << ", skipped " << logs.malformed << " malformed";
    if (logs.otherContest > 0) session.out << ", skipped " << logs.otherContest << " of other contests";
    if (counts.heldBack > 0) session.out << ", held back " << counts.heldBack << " below --min-logs";
    if (logs.conflicts > 0) session.out << ", decided " << logs.conflicts << " by vote";
}

// The four counts, then what else there was, each only when there was any, so that scripts
// reading the four counts keep working; the notes of the run go to standard error.
void printCounts(Session& session, const import::ImportCounts& counts) {
    session.out << "read " << counts.read << ", inserted " << counts.inserted << ", updated " << counts.updated
                << ", unchanged " << counts.unchanged;
    if (counts.withoutCall > 0) session.out << ", skipped " << counts.withoutCall << " without a call";
    if (counts.cut.count > 0)
        session.out << ", cut " << counts.cut.count << (counts.cut.count == 1 ? " value" : " values") << " to fit";
    if (counts.extraFields > 0)
        session.out << ", ignored " << counts.extraFields
                    << (counts.extraFields == 1 ? " extra value" : " extra values");
    if (!counts.fieldsSkipped.empty()) {
        session.out << ", skipped fields";
        for (const std::string& field : counts.fieldsSkipped) session.out << ' ' << field;
    }
    printLogCounts(session, counts);
    session.out << '\n';
    const std::string notes = import::runNotesText(counts);
    if (!notes.empty()) session.report.line(notes.substr(0, notes.size() - 1));
}

// A file whose !!Order!! says otherwise than the contest type is refused unless --force.
void requireMatchingOrder(Session& session, mapping::MappingWorkbook& workbook, const std::string& type) {
    if (session.line.has("--force")) return;
    const std::string path = session.argumentPath();
    if (const std::optional<import::OrderConflict> conflict = import::findOrderConflict(workbook, type, path))
        throw Refusal(import::orderConflictText(*conflict, type, path) + "; --force imports it as " + type +
                      " all the same, and without --type it is read by its !!Order!!");
}

unsigned minLogs(const CommandLine& line) {
    const std::string text = line.value("--min-logs").value_or("1");
    const std::optional<unsigned> count = import::readMinLogs(text);
    if (!count) throw UsageError("--min-logs is a number of logs from 1, not \"" + text + "\"");
    return *count;
}

// --contest, or the one contest the logs are all of.
std::string logsContest(Session& session, const std::vector<std::string>& paths) {
    if (const std::optional<std::string> contest = session.line.value("--contest")) return *contest;
    const std::vector<std::string> contests = import::contestsOfLogs(paths);
    if (contests.size() == 1) return contests.front();
    if (contests.empty()) throw Refusal("The logs name no contest; choose one with --contest NAME");
    throw Refusal("The logs are of more than one contest; choose one with --contest: " + joined(contests));
}

}  // namespace

void runImportLogs(Session& session) {
    const unsigned leastLogs = minLogs(session.line);
    const std::vector<std::string> paths = session.argumentPaths();
    history_db::HistoryStore store = openHistory(session);
    mapping::MappingWorkbook workbook(session.mappingPath());
    const std::string contest = logsContest(session, paths);
    import::ContestLogs source(paths, workbook, contest, leastLogs, session.report.progress());
    printCounts(session, import::runImport(store, source, session.report.progress()));
}

void runImportLog(Session& session) {
    const std::string contest = session.line.value("--contest").value_or("");
    const std::optional<Day> start = startDay(session.line);
    history_db::HistoryStore store = openHistory(session);

    std::optional<import::LoggerLog> log;
    try {
        log.emplace(session.argumentPath());
    } catch (const import::NotALoggerDatabase& refusal) {
        throw Refusal(refusal.what());
    }
    mapping::MappingWorkbook workbook(session.mappingPath());
    import::LoggerContest source(*log, chosenInstance(log->historyContests(workbook), contest, start));
    try {
        workbook.requireImportableLoggerContest(contest);
    } catch (const mapping::ContestNotImportable& refusal) {
        throw Refusal(refusal.what());
    }
    printCounts(session, import::runImport(store, source, workbook, session.report.progress()));
}

void runImportFile(Session& session) {
    const std::optional<std::string> type = session.line.value("--type");
    history_db::HistoryStore store = openHistory(session);
    if (!type || *type == import::kByOrderContestType) {
        import::OrderedHistoryFile source(session.argumentPath());
        printCounts(session, import::runImport(store, source, session.report.progress()));
        return;
    }
    import::HistoryFile file(session.argumentPath());

    mapping::MappingWorkbook workbook(session.mappingPath());
    const std::vector<std::string> types = workbook.historyFileContestTypes();
    if (std::ranges::find(types, *type) == types.end())
        throw Refusal("The mapping workbook has no contest type \"" + *type +
                      "\" for call-history files; it has: " + joined(types));
    requireMatchingOrder(session, workbook, *type);
    import::HistoryFileContest source(file, *type);
    printCounts(session, import::runImport(store, source, workbook, session.report.progress()));
}

}  // namespace kv::cli
