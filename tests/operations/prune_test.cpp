// Removing the stations not heard since a day, and the dates a user gives for it.
#include "history_db/prune.h"
#include "history_db/backup_set.h"
#include "history_db/history_date.h"
#include "history_db/history_stats.h"
#include "operation_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace kv::history_db;
using kv::testing::columnValues;
using kv::testing::fileBytes;
using kv::testing::ProgramFiles;
using kv::testing::writeHistoryDatabase;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;
namespace fs = std::filesystem;

namespace {

// Two heard before 2023, one on the day itself, one after, two never stamped.
const std::string kRows =
    "Call,Name,Sect,Updated\n"
    "K1OLD,Al,MA,2019-06-30\n"
    "W2DAY,Bo,,2023-01-01\n"
    "N3NEW,Cy,EPA,2024-11-02 18:30:00\n"
    "K4NONE,Di,,\n"
    "W5LATE,Ed,STX,2022-12-31 23:59:59\n"
    "N6NONE,,,\n";

// A History database of kRows in a folder of the test's own.
class PruneTest : public ::testing::Test {
protected:
    void SetUp() override { writeHistoryDatabase(path, kRows); }

    ProgramFiles files;
    const std::string path = files.file("calls.mdb");
};

}  // namespace

TEST(HistoryDate, AUserGivesYearMonthDayAndIsToldSoOtherwise) {
    EXPECT_EQ(parseUserDate("2024-02-29"), (CalendarDate{2024, 2, 29}));
    EXPECT_EQ(isoText(parseUserDate("2001-09-09")), "2001-09-09");
    EXPECT_EQ(displayText(CalendarDate{2001, 9, 9}), "9-9-2001");
    for (const char* wrong :
         {"2023-02-29", "2024-13-01", "31-12-2024", "12/31/2024", "2024-1-5", "2024-01-05 10:00", "yesterday", ""})
        EXPECT_THAT([&] { parseUserDate(wrong); },
                    ThrowsMessage<NotADate>("\"" + std::string(wrong) +
                                            "\" is not a date; write it as YYYY-MM-DD, e.g. 2024-03-31"))
            << wrong;
    EXPECT_EQ(updatedDay("11-2-2024 18:30:00"), (CalendarDate{2024, 11, 2}));
    EXPECT_EQ(updatedDay(""), std::nullopt);
}

TEST_F(PruneTest, RemovesThoseHeardBeforeTheDayAndThoseNeverHeardAfterABackup) {
    const std::string before = fileBytes(path);
    HistoryStore store(path);

    const CalendarDate day{2023, 1, 1};
    const StaleStations stale = countStaleStations(store, day);
    EXPECT_EQ(stale, (StaleStations{2, 2}));
    EXPECT_EQ(pruneQuestion(stale, day),
              "Removing 4 stations not heard since 1-1-2023 from the History database: 2 last updated before that "
              "day and 2 with no Updated date, which count as never heard. Are you sure ?");

    std::vector<std::string> told;
    const PruneOutcome outcome =
        pruneStations(store, day, {.status = [&](const std::string& text) { told.push_back(text); }, .rows = {}});
    EXPECT_EQ(outcome.removed, stale);
    EXPECT_EQ(outcome.remaining, 2);
    EXPECT_EQ(told, (std::vector<std::string>{kPruneBackupStatus,
                                              "4 stations removed, 2 stations left in the History database"}));
    store.close();
    EXPECT_EQ(columnValues(path, "History", "Call"), (std::vector<std::string>{"W2DAY", "N3NEW"}));
    EXPECT_EQ(columnValues(path, "History", "Name"), (std::vector<std::string>{"Bo", "Cy"}));
    EXPECT_EQ(fileBytes(backupPaths(path)[0]), before) << "the backup holds the database before the removal";

    HistoryStore again(path);
    EXPECT_EQ(pruneStations(again, day, {}).removed.total(), 0);
    again.close();
    EXPECT_FALSE(fs::exists(backupPaths(path)[1])) << "a removal of nothing makes no backup";
}

TEST_F(PruneTest, ARemovalThatCannotBeCommittedRemovesNothing) {
    const std::string before = fileBytes(path);
    HistoryStore store(path);
    // The backups cannot move older: a folder that is not empty stands where the oldest would go.
    fs::copy_file(path, backupPaths(path)[1]);
    fs::create_directories(backupPaths(path)[2] + "/in-the-way");
    EXPECT_THAT(
        [&] {
            pruneStations(store, {2030, 1, 1}, {});
        },
        ThrowsMessage<std::runtime_error>(HasSubstr("; nothing was removed from the Kestrovane database")));
    store.close();
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(HistoryStore(path).count(), 6);
}

TEST_F(PruneTest, StatsCountStationsYearsFilledColumnsAndTheDateRange) {
    HistoryStore store(path);
    const HistoryStats stats = historyStats(store);
    EXPECT_EQ(stats.stations, 6);
    EXPECT_EQ(stats.perYear, (std::map<int, long long>{{2019, 1}, {2022, 1}, {2023, 1}, {2024, 1}}));
    EXPECT_EQ(stats.neverUpdated, 2);
    EXPECT_EQ(stats.updated.first, (CalendarDate{2019, 6, 30}));
    EXPECT_EQ(stats.updated.last, (CalendarDate{2024, 11, 2}));
    EXPECT_EQ(updatedRangeText(stats.updated), ", Updated 6-30-2019 to 11-2-2024");
    EXPECT_EQ(updatedRangeText(updatedSpan(store)), ", Updated 6-30-2019 to 11-2-2024");
    std::map<std::string, long long> filled(stats.filledPerColumn.begin(), stats.filledPerColumn.end());
    EXPECT_EQ(stats.filledPerColumn.size(), store.openHistory().columnNames().size());
    EXPECT_EQ(stats.filledPerColumn.front().first, "Call");
    EXPECT_EQ(filled["Call"], 6);
    EXPECT_EQ(filled["Name"], 5);
    EXPECT_EQ(filled["Sect"], 3);
    EXPECT_EQ(filled["Updated"], 4);
    EXPECT_EQ(filled["Grid"], 0);

    store.empty();
    const HistoryStats none = historyStats(store);
    EXPECT_EQ(none.stations, 0);
    EXPECT_EQ(none.updated.first, std::nullopt);
    EXPECT_EQ(updatedRangeText(updatedSpan(store)), "");
}
