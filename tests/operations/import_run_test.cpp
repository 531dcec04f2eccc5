// The import run on the domain's own sources: a logger database's contests and QSOs, a
// call-history file as contesters share it through its working copy, the merge of known stations,
// and runs that fail leaving the database as it was.
#include "import/import_run.h"
#include "history_db/backup_set.h"
#include "import/history_file.h"
#include "import/logger_log.h"
#include "import_fixtures.h"
#include "operation_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>

using namespace kv::import;
using kv::history_db::HistoryStore;
using kv::history_db::Progress;
using kv::mapping::FieldMap;
using kv::mapping::MappingWorkbook;
using kv::testing::columnValues;
using kv::testing::fileBytes;
using kv::testing::kContestInstances;
using kv::testing::kLoggerSchema;
using kv::testing::kQsos;
using kv::testing::ProgramFiles;
using kv::testing::TemporaryFolderSetting;
using kv::testing::todayText;
using kv::testing::writeWorkbook;
using ::testing::AllOf;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using ::testing::StrEq;
using ::testing::ThrowsMessage;
namespace fs = std::filesystem;

namespace {

const char* const kImportHeader =
    "Contest,History,Contest_general,Field1,field2,field3,field4,field5,field6,field7,"
    "Call,Ck,Sect,Exchange1,Name,Gridsquare,nr\n";
const char* const kNothingChanged = "; IMPORT stopped, nothing was changed in the Kestrovane database";

class ImportRunTest : public ::testing::Test {
protected:
    ImportRunTest() {
        kv::testing::writeAccessDatabase(logger, kLoggerSchema,
                                         {{"ContestInstance", kContestInstances}, {"DXLOG", kQsos}});
        fs::copy_file(files.file(kv::history_db::kTemplateFileName), history);
        fs::create_directory(temporary);
    }

    ImportCounts importLogger(const std::string& contestNr, const std::string& contestName,
                              const Progress& progress = {}) {
        LoggerContest source(log(), {contestNr, contestName, ""});
        return runImport(store(), source, workbook, progress);
    }
    ImportCounts importFile(const std::string& path, const std::string& contestType) {
        HistoryFile file(path);
        HistoryFileContest source(file, contestType);
        return runImport(store(), source, workbook, {});
    }
    std::string historyValue(const std::string& call, const std::string& column) {
        store().close();
        const auto calls = columnValues(history, "History", "Call");
        const auto values = columnValues(history, "History", column);
        const auto found = std::find(calls.begin(), calls.end(), call);
        return found == calls.end() ? "<no row>" : values[static_cast<std::size_t>(found - calls.begin())];
    }
    std::vector<std::string> historyCalls() {
        store().close();
        return columnValues(history, "History", "Call");
    }
    std::string writeCallHistory(const std::string& name, const std::string& bytes) {
        const std::string file = files.file(name);
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }
    // A workbook of the test's own with this ImportMapping row after the header.
    void useImportRow(const std::string& row) {
        const std::string path = files.file("test mapping.xls");
        writeWorkbook(path, kImportHeader + row, "");
        workbook = MappingWorkbook(path);
    }

    HistoryStore& store() {
        if (!store_) store_.emplace(history);
        return *store_;
    }
    LoggerLog& log() {
        if (!log_) log_.emplace(logger);
        return *log_;
    }

    ProgramFiles files;
    const std::string logger = files.file("ham.mdb"), history = files.file("calls.mdb");
    const std::string temporary = files.file("temporary");
    TemporaryFolderSetting temporarySetting{temporary};
    MappingWorkbook workbook{files.file("mapping.xls")};

private:
    std::optional<HistoryStore> store_;
    std::optional<LoggerLog> log_;
};

}  // namespace

TEST_F(ImportRunTest, ALoggerLogListsItsContestsByNameAndThoseTheWorkbookTakesForCallHistory) {
    const std::vector<ContestInstance> all = log().contests();
    ASSERT_EQ(all.size(), 7u);
    EXPECT_EQ(all.front(), (ContestInstance{"4", "CQWPXCW", "11-28-2026"}));
    EXPECT_EQ(log().historyContests(workbook), (std::vector<ContestInstance>{{"3", "FD", "6-22-2024"},
                                                                             {"5", "FD", "6-28-2025 18:00:00"},
                                                                             {"2", "SSCW", "11-7-2026 21:00:00"},
                                                                             {"7", "STEWPERRY", "12-20-2025"}}))
        << "DELETEDQS, a History 0 contest and one the mapping lacks are left out";

    EXPECT_THAT([&] { LoggerLog{history}; },
                ThrowsMessage<NotALoggerDatabase>(StrEq("Selected database file not a valid N1MM Logger database")));
}

TEST_F(ImportRunTest, TwoInstancesOfAContestImportUnderTheirOwnNumbersAndMergeTheExchange) {
    const std::string before = fileBytes(history);
    std::vector<std::string> statuses;
    std::vector<std::pair<long long, long long>> rows;
    const Progress progress{[&](const std::string& text) { statuses.push_back(text); },
                            [&](long long done, long long total) { rows.emplace_back(done, total); }};
    ImportCounts first = importLogger("3", "FD", progress);
    EXPECT_EQ(fileBytes(history + ".bup"), before) << "the backup is the database as the run found it";
    EXPECT_EQ(statuses, (std::vector<std::string>{kBackupCreatedStatus, kImportFinishedStatus}));
    EXPECT_EQ(rows, (std::vector<std::pair<long long, long long>>{{0, 3}, {1, 3}, {2, 3}, {3, 3}}));
    EXPECT_EQ(first, (ImportCounts{.read = 3, .inserted = 3}));
    EXPECT_EQ(historyValue("K1ABC", "Sect"), "EMA");
    EXPECT_EQ(historyValue("K1ABC", "data2"), "1D") << "a new row takes data2 as it comes";
    EXPECT_EQ(historyValue("N0XYZ", "Sect"), "");
    EXPECT_EQ(historyValue("W1AW", "Updated"), todayText());

    ImportCounts second = importLogger("5", "FD");
    EXPECT_EQ(second.read, 4) << "the deleted QSO belongs to DELETEDQS";
    EXPECT_EQ(second.inserted, 1);
    EXPECT_EQ(second.updated, 3) << "W1AW's class, K1ABC's section, VE3AAA's second class";
    EXPECT_EQ(second.unchanged, 0);
    EXPECT_EQ(historyValue("W1AW", "data2"), "3A");
    EXPECT_EQ(historyValue("W1AW", "data3"), "2A") << "the class heard before moves down";
    EXPECT_EQ(historyValue("K1ABC", "Sect"), "WMA");
    EXPECT_EQ(historyValue("K1ABC", "data2"), "1D");
    EXPECT_EQ(historyValue("K1ABC", "data3"), "") << "the same class again changes nothing";
    EXPECT_EQ(historyValue("VE3AAA", "data2"), "2E") << "the second QSO of a run matches the row the first inserted";
    EXPECT_EQ(historyValue("VE3AAA", "data3"), "1E");
    EXPECT_EQ(historyValue("DELETED1", "Call"), "<no row>");
    EXPECT_EQ(historyCalls().size(), 4u);
}

TEST_F(ImportRunTest, TheBlankTheLoggerWritesForNoValueClearsNothing) {
    const ImportCounts counts = importLogger("7", "STEWPERRY");
    EXPECT_EQ(counts.inserted, 1);
    EXPECT_EQ(counts.unchanged, 1);
    EXPECT_EQ(historyValue("W1AW", "Loc1"), "FN31");
}

TEST_F(ImportRunTest, ACallHistoryFileSkipsCommentsDirectivesAndBlankLines) {
    const std::string file = writeCallHistory("NAQP calls.txt",
                                              "!!Order!!,Call,Name,State,UserText,\n"
                                              "# NAQPCW\n"
                                              "#\n"
                                              "\n"
                                              "4U1WB,MASA,DC,\n"
                                              "!!Version!!,2\n"
                                              "K1ABC,JOHN,MA,club station\n"
                                              "   \n"
                                              "VE3AAA,ANN,ON,\n");
    EXPECT_EQ(importFile(file, "NAQP"), (ImportCounts{.read = 3, .inserted = 3}));
    EXPECT_EQ(historyCalls(), (std::vector<std::string>{"4U1WB", "K1ABC", "VE3AAA"}));
    EXPECT_EQ(historyValue("K1ABC", "Name"), "JOHN");
    EXPECT_EQ(historyValue("K1ABC", "State"), "MA");
    EXPECT_EQ(historyValue("K1ABC", "UserText"), "club station");
}

TEST_F(ImportRunTest, RealCallHistoryFilesGiveOneRowPerDistinctCall) {
    std::set<std::string> distinctCalls;  // as the "Call" index tells them apart: letter case ignored
    for (const auto& [name, contestType] : {std::pair{"NAQPCW.txt", "NAQP"}, std::pair{"SSCW.txt", "SS"}}) {
        const std::string file = files.file(name);
        fs::copy_file(std::string(KV_FIXTURES_DIR "/callhistory/") + name, file);
        std::ifstream in(file);
        std::string line;
        std::getline(in, line);  // the header
        long long stations = 0;
        while (std::getline(in, line)) {
            if (line.starts_with('#') || line.starts_with("!!") ||
                line.find_first_not_of(" \r\t,") == std::string::npos)
                continue;
            ++stations;
            std::string call = line.substr(0, line.find(','));
            std::transform(call.begin(), call.end(), call.begin(), [](unsigned char c) { return std::toupper(c); });
            distinctCalls.insert(call);
        }

        const ImportCounts counts = importFile(file, contestType);
        EXPECT_EQ(counts.read, stations) << name;
        EXPECT_EQ(counts.inserted + counts.updated + counts.unchanged, stations) << name;
    }

    const auto calls = historyCalls();
    EXPECT_EQ(calls.size(), distinctCalls.size());
    for (const std::string& call : calls) EXPECT_FALSE(call.starts_with('#') || call.starts_with("!!")) << call;
    EXPECT_EQ(historyValue("AA0CY", "Sect"), "EPA");
    EXPECT_EQ(historyValue("AA0CY", "State"), "PA");
    EXPECT_EQ(historyValue("AA0CY", "Ck"), "63");
    EXPECT_EQ(historyValue("6Y1A", "Name"), "JAVON");
}

TEST_F(ImportRunTest, AFailedRunLeavesTheDatabaseAsItWasAndSaysSo) {
    importLogger("3", "FD");
    // A mapping whose FD row names a column History lacks, met only after rows were posted.
    useImportRow("FD,1,FD,Call,,,,,,,Call,,Sect,Section,,,\n");
    store().close();
    const std::string before = fileBytes(history);

    EXPECT_THAT(
        [&] { importLogger("5", "FD"); },
        ThrowsMessage<std::runtime_error>(EndsWith(std::string("Field 'Section' not found") + kNothingChanged)));
    store().close();
    EXPECT_EQ(fileBytes(history), before);
    EXPECT_EQ(fileBytes(history + ".bup"), before);
    EXPECT_EQ(historyValue("K1ABC", "Sect"), "EMA");

    EXPECT_THAT(
        [&] { importLogger("6", "RAC"); },
        ThrowsMessage<std::runtime_error>(StrEq(
            std::string("The mapping workbook has no ImportMapping row whose Contest is \"RAC\"") + kNothingChanged)));
}

TEST_F(ImportRunTest, AMapWithoutItsKeyOrWithoutAnyColumnFilesNothing) {
    store().close();
    const std::string before = fileBytes(history);
    LoggerContest fieldDay(log(), {"3", "FD", ""});
    FieldMap keyless;
    keyless.add("Sect", "Sect");
    EXPECT_THAT([&] { runImport(store(), fieldDay, keyless, {}); },
                ThrowsMessage<std::runtime_error>(StrEq(
                    std::string("The mapping workbook names no History column for the call of FD") + kNothingChanged)));
    EXPECT_THAT([&] { runImport(store(), fieldDay, FieldMap{}, {}); },
                ThrowsMessage<std::runtime_error>(
                    StrEq(std::string("The mapping workbook names no column to import for FD") + kNothingChanged)));
    store().close();
    EXPECT_EQ(fileBytes(history), before);

    LoggerContest rac(log(), {"6", "RAC", ""});
    EXPECT_EQ(runImport(store(), rac, keyless, {}), ImportCounts{}) << "a contest without QSOs needs no key";

    // The same through the workbook: a row whose Call cell is empty.
    useImportRow("FD,1,FD,Call,,,,,,,,,Sect,Exchange1,,,\n");
    EXPECT_THAT([&] { importLogger("3", "FD"); },
                ThrowsMessage<std::runtime_error>(StrEq(
                    std::string("The mapping workbook names no History column for the call of FD") + kNothingChanged)));
    EXPECT_TRUE(historyCalls().empty());
}

TEST_F(ImportRunTest, AHistoryFileIsReadFromAPrivateCopyMadeAgainForEachReading) {
    const std::string file = writeCallHistory("NAQP calls.txt", "!!Order!!,Call,Name,State\nK1ABC,JOHN,MA\n");
    fs::path folder;
    {
        HistoryFile chosen(file);
        ASSERT_TRUE(chosen.copyFolder());
        folder = *chosen.copyFolder();
        EXPECT_EQ(folder.parent_path(), fs::path(temporary)) << "made where TMPDIR says";
        EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all) << "no one else may look in or add";
        EXPECT_EQ(fileBytes((folder / kHistoryFileCopy).string()), fileBytes(file));
        EXPECT_FALSE(fs::exists(files.file(kHistoryFileCopy))) << "the program directory is never written";

        HistoryFileContest source(chosen, "NAQP");
        EXPECT_EQ(runImport(store(), source, workbook, {}).inserted, 1);
        EXPECT_EQ(historyValue("K1ABC", "State"), "MA");
        EXPECT_EQ(historyValue("K1ABC", "UserText"), "") << "a column the file lacks reads as empty";

        std::ofstream(file, std::ios::app) << "VE3AAA,ANN,ON\n";
        const ImportCounts again = runImport(store(), source, workbook, {});
        EXPECT_EQ(again.inserted, 1) << "another run on the same choice copies the file as it is now";
        EXPECT_EQ(again.unchanged, 1);

        chosen.letGoOfCopy();
        EXPECT_FALSE(chosen.copyFolder());
        EXPECT_TRUE(fs::is_empty(temporary));
        EXPECT_EQ(runImport(store(), source, workbook, {}).unchanged, 2) << "a reading after the let-go copies again";

        HistoryFile another(file);
        EXPECT_NE(another.copyFolder(), chosen.copyFolder());
    }
    EXPECT_TRUE(fs::is_empty(temporary)) << "the file's end removes its copy";
}

TEST_F(ImportRunTest, ASourceThatCannotBeReadAsCallHistoryIsRefusedNamingTheUsersFile) {
    const std::string pipe = files.file("pipe.txt"), folder = files.file("folder.txt");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    fs::create_directory(folder);
    const std::string unicode = writeCallHistory("unicode.txt", std::string("\xFF\xFE"
                                                                            "K\0"
                                                                            "1\0"
                                                                            ",\0"
                                                                            "A\0",
                                                                            10));
    const std::string semicolons = writeCallHistory("semicolons.txt", "!!Order!!;Call;Name\r\nK1ABC;JOHN\r\n");
    const std::string tabs = writeCallHistory("tabs.txt", "Call\tName\nK1ABC\tJOHN\n");
    const std::string unclosed = writeCallHistory("unclosed.txt", "!!Order!!,Call,Name\nK1ABC,JOHN\nW1AW,\"HIRAM\n");
    const std::string wide = writeCallHistory("wide.txt", "Call\nK1ABC,JOHN\nW1AW" + std::string(1'000'000, ','));
    const std::string binary = writeCallHistory("log.zip", std::string("PK\x03\x04\0\0", 6));
    const std::string missing = files.file("missing.txt");
    const std::vector<std::pair<std::string, std::string>> refusals = {
        {"/dev/zero", "/dev/zero is a device; choose a call-history text file"},
        {pipe, pipe + " is a pipe; choose a call-history text file"},
        {folder, folder + " is a folder; choose a call-history text file"},
        {missing, "Cannot open file " + missing},
        {unicode, unicode + " is UTF-16 text: save it as UTF-8 or ANSI"},
        {semicolons, semicolons + " uses semicolons to separate its fields; save it with commas"},
        {tabs, tabs + " uses tabs to separate its fields; save it with commas"},
        {unclosed, unclosed + ": the quoted field that starts on line 3 is not closed"},
        {wide, wide + ": line 3 is too wide to read (more than 64 fields)"},
        {binary, binary + " is not a text file: it contains NUL bytes"},
    };
    for (const auto& [source, message] : refusals) {
        EXPECT_THAT([&] { HistoryFile{source}; }, ThrowsMessage<std::runtime_error>(StrEq(message)));
        EXPECT_TRUE(fs::is_empty(temporary)) << source << ": no copy is left";
    }

    const std::string calls = writeCallHistory("calls.txt", "!!Order!!,Call,Name,State\nK1ABC,JOHN,MA\n");
    HistoryFile chosen(calls);
    HistoryFileContest source(chosen, "NAQP");
    fs::remove(calls);
    EXPECT_EQ(runImport(store(), source, workbook, {}).inserted, 1)
        << "the copy made when the file was chosen serves the first reading";
    EXPECT_THAT([&] { runImport(store(), source, workbook, {}); },
                ThrowsMessage<std::runtime_error>(StrEq("Cannot open file " + calls + kNothingChanged)))
        << "a later reading copies the file as it is now";
    {
        std::ofstream(calls) << "Call,Name\nK1ABC,JOHN\n";
        TemporaryFolderSetting nowhere(files.file("no such folder"));
        EXPECT_THAT([&] { HistoryFile{calls}; },
                    ThrowsMessage<std::runtime_error>(StartsWith("Cannot copy " + calls + ": ")));
    }
}

TEST_F(ImportRunTest, RowsWithoutACallAreSkippedAndCountedFromEitherSource) {
    const std::string file = writeCallHistory("NAQP calls.txt",
                                              "!!Order!!,Call,Name,State\n"
                                              "K1ABC,JOHN,MA\n"
                                              ",ANN,ON\n"
                                              "   ,BOB,TX\n"
                                              "\"\",EVE,CA\n"
                                              ",,,\n"
                                              "W1AW,HIRAM,CT\n");
    const ImportCounts filed = importFile(file, "NAQP");
    EXPECT_EQ(filed.read, 5) << "a line of commas alone is no station";
    EXPECT_EQ(filed.withoutCall, 3);
    EXPECT_EQ(filed.inserted, 2);
    EXPECT_EQ(historyCalls(), (std::vector<std::string>{"K1ABC", "W1AW"}));

    const std::string uncalled = files.file("uncalled.mdb");
    kv::testing::writeAccessDatabase(
        uncalled, kLoggerSchema,
        {{"ContestInstance", kContestInstances},
         {"DXLOG",
          "TS,Call,ContestName,ContestNR,Sect,CK,Exchange1,Name,GridSquare,NR,Run1Run2,ID\n"
          "6-22-2024 18:01:00,N0XYZ,FD,3,CT,0,2A,,,0,0,a1\n"
          "6-22-2024 18:02:00,\"\",FD,3,EMA,0,1D,,,0,0,a2\n"
          "6-22-2024 18:03:00,\"  \",FD,3,,0,3A,,,0,0,a3\n"}});
    LoggerLog log(uncalled);
    LoggerContest source(log, {"3", "FD", ""});
    const ImportCounts logged = runImport(store(), source, workbook, {});
    EXPECT_EQ(logged, (ImportCounts{.read = 3, .inserted = 1, .withoutCall = 2}));
    EXPECT_EQ(historyCalls(), (std::vector<std::string>{"K1ABC", "W1AW", "N0XYZ"}));
}

// The backup is made on a thread of its own while the source loads; its failure still comes
// first, and a source that fails once the backup is made is told after the backup's status.
TEST_F(ImportRunTest, ABackupThatFailsIsToldBeforeTheSourceAndNeitherChangesTheDatabase) {
    importLogger("3", "FD");
    store().close();
    const std::string before = fileBytes(history);
    log().close();
    fs::remove(logger);
    std::vector<std::string> statuses;
    const Progress progress{[&](const std::string& text) { statuses.push_back(text); }, {}};
    auto failure = [&] {
        statuses.clear();
        try {
            importLogger("5", "FD", progress);
        } catch (const std::runtime_error& error) {
            return std::string(error.what());
        }
        return std::string("no failure");
    };

    // Backups that cannot move along: each slot holds a folder that is not empty.
    const std::vector<std::string> slots = kv::history_db::backupPaths(history);
    for (const std::string& slot : slots) fs::remove_all(slot), fs::create_directories(slot + "/kept");
    EXPECT_THAT(failure(), AllOf(StartsWith("Cannot move the backup"), EndsWith(kNothingChanged)));
    EXPECT_THAT(statuses, ::testing::IsEmpty());
    EXPECT_EQ(fileBytes(history), before);

    for (const std::string& slot : slots) fs::remove_all(slot);
    EXPECT_THAT(failure(), AllOf(StartsWith("File " + logger + " not found"), EndsWith(kNothingChanged)));
    EXPECT_THAT(statuses, ::testing::ElementsAre(kBackupCreatedStatus));
    EXPECT_EQ(fileBytes(history + ".bup"), before);
    EXPECT_EQ(fileBytes(history), before);
}
