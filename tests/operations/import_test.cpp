// Importing into History through the scripted window: a logger database's contests and QSOs, a
// call-history file as contesters share it, the merge of known stations, and runs that fail
// leaving the database as it was.
#include "fake_ui.h"
#include "history_db/compact_history_database.h"
#include "history_db/history_database.h"
#include "import/import_run.h"
#include "import/import_sources.h"
#include "import/import_type_select.h"
#include "mapping/mapping_workbook.h"
#include "operation_files.h"
#include "shell/form_create.h"
#include "ui/import_types.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>
#include <set>

using namespace kv::import;
using kv::shell::DataObjects;
using kv::testing::columnValues;
using kv::testing::fileBytes;
using kv::testing::ProgramFiles;
using kv::testing::writeWorkbook;
using kv::ui::BoxAnswer;
using kv::ui::BoxButtons;
using kv::ui::BoxKind;
using kv::ui::ContestRecord;
using kv::ui::testing::FakeUi;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using ::testing::StrEq;
using ::testing::ThrowsMessage;
namespace fs = std::filesystem;

namespace {

const char* const kContestInstances =
    "ContestID,ContestName,StartDate,ContestNR\n"
    "1,DELETEDQS,1-1-1900,-1\n"
    "2,SSCW,11-7-2026 21:00:00,2\n"
    "3,FD,6-22-2024,3\n"
    "4,CQWWCW,11-28-2026,4\n"
    "5,FD,6-28-2025 18:00:00,5\n"
    "6,RAC,12-27-2025,6\n"
    "7,STEWPERRY,12-20-2025,7\n";

// Columns of DXLOG that the import reads, and the ones that tell QSOs apart.
const char* const kQsos =
    "TS,Call,ContestName,ContestNR,Sect,CK,Exchange1,Name,GridSquare,NR,Run1Run2,ID\n"
    "6-22-2024 18:01:00,W1AW,FD,3,CT,0,2A,,,0,0,a1\n"
    "6-22-2024 18:02:00,K1ABC,FD,3,EMA,0,1D,,,0,0,a2\n"
    "6-22-2024 18:03:00,N0XYZ,FD,3,,0,3A,,,0,0,a3\n"
    "6-28-2025 18:01:00,W1AW,FD,5,CT,0,3A,,,0,0,b1\n"
    "6-28-2025 18:02:00,K1ABC,FD,5,WMA,0,1D,,,0,0,b2\n"
    "6-28-2025 18:03:00,VE3AAA,FD,5,ONE,0,1E,,,0,0,b3\n"
    "6-28-2025 18:04:00,VE3AAA,FD,5,ONE,0,2E,,,0,0,b4\n"
    "6-28-2025 18:05:00,DELETED1,FD,-1,CT,0,1A,,,0,0,c1\n"
    "11-7-2026 21:10:00,K5ZD,SSCW,2,STX,69,,,,12,0,d1\n"
    "12-20-2025 15:01:00,W1AW,STEWPERRY,7,,0,,,FN31,0,0,e1\n"
    "12-20-2025 16:01:00,W1AW,STEWPERRY,7,,0,,,\" \",0,0,e2\n";

std::string todayText() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    return std::to_string(local->tm_mon + 1) + "-" + std::to_string(local->tm_mday) + "-" +
           std::to_string(local->tm_year + 1900);
}

// TMPDIR set to a folder of the test's own, where the working copy can be watched, for as long
// as it lives.
class TemporaryFolderSetting {
public:
    explicit TemporaryFolderSetting(const std::string& folder) {
        if (const char* was = std::getenv("TMPDIR")) was_ = was;
        setenv("TMPDIR", folder.c_str(), 1);
    }
    ~TemporaryFolderSetting() { was_ ? setenv("TMPDIR", was_->c_str(), 1) : unsetenv("TMPDIR"); }

private:
    std::optional<std::string> was_;
};

class ImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        kv::testing::writeAccessDatabase(logger, KV_SOURCE_DIR "/tests/support/logger/logger_schema.sql",
                                         {{"ContestInstance", kContestInstances}, {"DXLOG", kQsos}});
        kv::shell::FormCreate(ui);
        fs::copy_file(files.file(kv::history_db::kTemplateFileName), history);
        ui.state().HistoryPath = history;
        kv::history_db::OpenTHDatabase(ui, data, history);
    }

    void pickImportType(const char* type, const std::string& dialog, const std::string& chosen) {
        ui.setItemIndex("ComboBox_ImportType", type == kv::ui::kLoggerHamDatabase ? 0 : 1);
        ui.expectDialog(dialog, chosen);
        ComboBox_ImportTypeSelect(
            ui, {[&](kv::ui::Ui& u) { OpenHamDB(u, data); }, [&](kv::ui::Ui& u) { OpenHistFile(u, data); }});
    }
    void pickContest(const std::string& entry) {
        const auto items = ui.items("Combobox_Contest");
        const auto found = std::find(items.begin(), items.end(), entry);
        ASSERT_NE(found, items.end()) << entry;
        ui.setItemIndex("Combobox_Contest", static_cast<int>(found - items.begin()));
        Combobox_ContestSelect(ui, data);
    }
    ImportCounts importLoggerContest(const std::string& entry) {
        pickImportType(kv::ui::kLoggerHamDatabase, "OpenDialog_HamDB", logger);
        pickContest(entry);
        return Button_ImportClick(ui, data);
    }
    std::string historyValue(const std::string& call, const std::string& column) {
        const auto calls = columnValues(history, "History", "Call");
        const auto values = columnValues(history, "History", column);
        const auto found = std::find(calls.begin(), calls.end(), call);
        return found == calls.end() ? "<no row>" : values[static_cast<std::size_t>(found - calls.begin())];
    }

    // A call-history file of the test's own, and the process's temporary folder made a folder of
    // the test's own too.
    std::string writeCallHistory(const std::string& name, const std::string& bytes) {
        const std::string file = files.file(name);
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

    ProgramFiles files;
    const std::string logger = files.file("ham.mdb"), history = files.file("calls.mdb");
    const std::string temporary = [this] {
        fs::create_directory(files.file("temporary"));
        return files.file("temporary");
    }();
    TemporaryFolderSetting temporarySetting{temporary};
    FakeUi ui{files.withSeparator()};
    DataObjects data;
};

}  // namespace

TEST_F(ImportTest, ALoggerDatabaseListsItsContestsThatTakeCallHistoryWithTheirStart) {
    pickImportType(kv::ui::kLoggerHamDatabase, "OpenDialog_HamDB", logger);

    EXPECT_EQ(ui.items("Combobox_Contest"),
              (std::vector<std::string>{"FD,6-22-2024", "FD,6-28-2025 18:00:00", "SSCW,11-7-2026 21:00:00",
                                        "STEWPERRY,12-20-2025"}))
        << "sorted by name; DELETEDQS, a History 0 contest and one the mapping lacks are left out";
    EXPECT_EQ(ui.itemRecord("Combobox_Contest", 0), (ContestRecord{"3", "FD"}));
    EXPECT_EQ(ui.itemRecord("Combobox_Contest", 1), (ContestRecord{"5", "FD"}));
    EXPECT_EQ(ui.itemIndex("Combobox_Contest"), 0);
    EXPECT_TRUE(ui.isEnabled("Combobox_Contest"));
    EXPECT_EQ(ui.text("Edit_SourceFilename"), "ham.mdb");
    EXPECT_EQ(ui.hint("Edit_SourceFilename"), logger);
    EXPECT_EQ(ui.text("StatusBar1"), "HAM database loaded, select which specific contest to import");
    EXPECT_FALSE(ui.isEnabled("Button_Import")) << "showing the first entry is no pick";

    pickContest("FD,6-28-2025 18:00:00");
    EXPECT_EQ(ui.state().ImportContestNr, "5");
    EXPECT_EQ(ui.state().ImportContestName, "FD");
    EXPECT_TRUE(ui.isEnabled("Button_Import"));
    EXPECT_EQ(ui.text("StatusBar1"), "Contest selected, IMPORT to load contest in Kestrovane database");
}

TEST_F(ImportTest, AFileWithoutDxlogIsNoLoggerDatabase) {
    ui.setItemIndex("ComboBox_ImportType", 0);
    ui.expectDialog("OpenDialog_HamDB", history);
    ui.expectMessageBox("Selected database file not a valid N1MM Logger database", BoxKind::Information, BoxButtons::Ok,
                        BoxAnswer::Ok);
    ComboBox_ImportTypeSelect(ui, {[&](kv::ui::Ui& u) { OpenHamDB(u, data); }, {}});
    EXPECT_TRUE(ui.items("Combobox_Contest").empty());
    EXPECT_FALSE(ui.isEnabled("Combobox_Contest"));
}

TEST_F(ImportTest, TwoInstancesOfAContestImportUnderTheirOwnNumbersAndMergeTheExchange) {
    const std::string before = fileBytes(history);
    ImportCounts first = importLoggerContest("FD,6-22-2024");
    EXPECT_EQ(fileBytes(history + ".bup"), before) << "the backup is the database as the run found it";
    EXPECT_EQ(first.read, 3);
    EXPECT_EQ(first.inserted, 3);
    EXPECT_EQ(historyValue("K1ABC", "Sect"), "EMA");
    EXPECT_EQ(historyValue("K1ABC", "data2"), "1D") << "a new row takes data2 as it comes";
    EXPECT_EQ(historyValue("N0XYZ", "Sect"), "");
    EXPECT_EQ(historyValue("W1AW", "Updated"), todayText());
    const auto& statuses = ui.statusHistory();
    EXPECT_EQ(statuses[statuses.size() - 2], "Database backup created, IMPORT started");
    EXPECT_EQ(statuses.back(), "IMPORT finished");
    EXPECT_FALSE(ui.isVisible("ProgressBar1"));

    ImportCounts second = importLoggerContest("FD,6-28-2025 18:00:00");
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
    EXPECT_EQ(columnValues(history, "History", "Call").size(), 4u);
}

TEST_F(ImportTest, TheBlankTheLoggerWritesForNoValueClearsNothing) {
    const ImportCounts counts = importLoggerContest("STEWPERRY,12-20-2025");
    EXPECT_EQ(counts.inserted, 1);
    EXPECT_EQ(counts.unchanged, 1);
    EXPECT_EQ(historyValue("W1AW", "Grid"), "FN31");
}

TEST_F(ImportTest, ACallHistoryFileSkipsCommentsDirectivesAndBlankLines) {
    const std::string file = files.file("NAQP calls.txt");
    std::ofstream(file) << "!!Order!!,Call,Name,State,UserText,\n"
                           "# NAQPCW\n"
                           "#\n"
                           "\n"
                           "4U1WB,MASA,DC,\n"
                           "!!Version!!,2\n"
                           "K1ABC,JOHN,MA,club station\n"
                           "   \n"
                           "VE3AAA,ANN,ON,\n";
    pickImportType(kv::ui::kHistoryFile, "OpenDialog_SourceHistory", file);
    ASSERT_TRUE(data.historyFileFolder);
    EXPECT_EQ(fileBytes((data.historyFileFolder->path() / kHistoryFileCopy).string()), fileBytes(file));
    pickContest("NAQP");
    ImportCounts counts = Button_ImportClick(ui, data);

    EXPECT_EQ(counts.read, 3);
    EXPECT_EQ(columnValues(history, "History", "Call"), (std::vector<std::string>{"4U1WB", "K1ABC", "VE3AAA"}));
    EXPECT_EQ(historyValue("K1ABC", "Name"), "JOHN");
    EXPECT_EQ(historyValue("K1ABC", "State"), "MA");
    EXPECT_EQ(historyValue("K1ABC", "UserText"), "club station");
}

TEST_F(ImportTest, RealCallHistoryFilesGiveOneRowPerDistinctCall) {
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

        pickImportType(kv::ui::kHistoryFile, "OpenDialog_SourceHistory", file);
        pickContest(contestType);
        const ImportCounts counts = Button_ImportClick(ui, data);
        EXPECT_EQ(counts.read, stations) << name;
        EXPECT_EQ(counts.inserted + counts.updated + counts.unchanged, stations) << name;
    }

    const auto calls = columnValues(history, "History", "Call");
    EXPECT_EQ(calls.size(), distinctCalls.size());
    for (const std::string& call : calls) EXPECT_FALSE(call.starts_with('#') || call.starts_with("!!")) << call;
    EXPECT_EQ(historyValue("AA0CY", "Sect"), "EPA");
    EXPECT_EQ(historyValue("AA0CY", "State"), "PA");
    EXPECT_EQ(historyValue("AA0CY", "Ck"), "63");
    EXPECT_EQ(historyValue("6Y1A", "Name"), "JAVON");
}

TEST_F(ImportTest, AFailedRunLeavesTheDatabaseAsItWasAndSaysSo) {
    importLoggerContest("FD,6-22-2024");
    // A mapping whose FD row names a column History lacks, met only after rows were posted.
    writeWorkbook(files.file("mapping.xls"),
                  "Contest,History,Contest_general,Field1,field2,field3,field4,field5,field6,field7,"
                  "Call,Ck,Sect,Exchange1,Name,Gridsquare,nr\n"
                  "FD,1,FD,Call,,,,,,,Call,,Sect,Section,,,\n",
                  "Contest,History,field1,field2,field3,field4,field5,field6,field7,field8\n");
    kv::mapping::ConnectMappingWorkbook(ui, data);
    const std::string before = fileBytes(history);

    pickImportType(kv::ui::kLoggerHamDatabase, "OpenDialog_HamDB", logger);
    pickContest("FD,6-28-2025 18:00:00");
    EXPECT_THAT([&] { Button_ImportClick(ui, data); },
                ThrowsMessage<std::runtime_error>(EndsWith(
                    "Field 'Section' not found; IMPORT stopped, nothing was changed in the Kestrovane database")));
    EXPECT_EQ(fileBytes(history), before);
    EXPECT_EQ(fileBytes(history + ".bup"), before);
    EXPECT_EQ(historyValue("K1ABC", "Sect"), "EMA");
}

TEST_F(ImportTest, AHistoryFileIsReadFromAPrivateCopyThatGoesWhenItsUseEnds) {
    const std::string file = writeCallHistory("NAQP calls.txt", "!!Order!!,Call,Name,State\nK1ABC,JOHN,MA\n");
    pickImportType(kv::ui::kHistoryFile, "OpenDialog_SourceHistory", file);
    ASSERT_TRUE(data.historyFileFolder);
    const fs::path folder = data.historyFileFolder->path();
    EXPECT_EQ(folder.parent_path(), fs::path(temporary)) << "made where TMPDIR says";
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all) << "no one else may look in or add";
    EXPECT_EQ(fileBytes((folder / kHistoryFileCopy).string()), fileBytes(file));
    EXPECT_FALSE(fs::exists(files.file(kHistoryFileCopy))) << "the program directory is never written";

    pickContest("NAQP");
    EXPECT_EQ(Button_ImportClick(ui, data).inserted, 1);
    EXPECT_EQ(historyValue("K1ABC", "State"), "MA");
    EXPECT_EQ(historyValue("K1ABC", "UserText"), "") << "a column the file lacks reads as empty";
    EXPECT_FALSE(fs::exists(folder)) << "the run's end removes it";
    EXPECT_TRUE(fs::is_empty(temporary));

    std::ofstream(file, std::ios::app) << "VE3AAA,ANN,ON\n";
    const ImportCounts again = Button_ImportClick(ui, data);
    EXPECT_EQ(again.inserted, 1) << "another run on the same choice copies the file as it is now";
    EXPECT_EQ(again.unchanged, 1);
    EXPECT_TRUE(fs::is_empty(temporary));

    pickImportType(kv::ui::kHistoryFile, "OpenDialog_SourceHistory", file);
    EXPECT_FALSE(fs::is_empty(temporary));
    pickImportType(kv::ui::kLoggerHamDatabase, "OpenDialog_HamDB", logger);
    EXPECT_TRUE(fs::is_empty(temporary)) << "choosing another source removes it";

    // A mapping whose NAQP row names a column History lacks: the run fails on its first station.
    writeWorkbook(files.file("mapping.xls"),
                  "Contest,History,Contest_general,Field1,field2,field3,field4,field5,field6,field7,"
                  "Call,Ck,Sect,Exchange1,Name,Gridsquare,nr\n"
                  "NAQPCW,1,NAQP,Call,Nickname,,,,,,Call,,,,Name,,\n",
                  "Contest,History,field1,field2,field3,field4,field5,field6,field7,field8\n");
    kv::mapping::ConnectMappingWorkbook(ui, data);
    pickImportType(kv::ui::kHistoryFile, "OpenDialog_SourceHistory", file);
    pickContest("NAQP");
    EXPECT_FALSE(fs::is_empty(temporary));
    EXPECT_THAT([&] { Button_ImportClick(ui, data); },
                ThrowsMessage<std::runtime_error>(HasSubstr("Field 'Nickname' not found")));
    EXPECT_TRUE(fs::is_empty(temporary)) << "a failed run removes it too";

    {
        DataObjects another;
        MakeHistoryFileCopy(another, file);
        EXPECT_NE(another.historyFileFolder->path(), folder);
        EXPECT_FALSE(fs::is_empty(temporary));
    }
    EXPECT_TRUE(fs::is_empty(temporary)) << "the program's end removes it";
}

TEST_F(ImportTest, ASourceThatCannotBeReadAsCallHistoryIsRefusedNamingTheUsersFile) {
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
        ui.expectDialog("OpenDialog_SourceHistory", source);
        EXPECT_THAT([&] { OpenHistFile(ui, data); }, ThrowsMessage<std::runtime_error>(StrEq(message)));
        EXPECT_FALSE(data.historyFileFolder) << source;
        EXPECT_TRUE(fs::is_empty(temporary)) << source << ": no copy is left";
    }

    const std::string calls = writeCallHistory("calls.txt", "Call,Name\nK1ABC,JOHN\n");
    {
        TemporaryFolderSetting nowhere(files.file("no such folder"));
        ui.expectDialog("OpenDialog_SourceHistory", calls);
        EXPECT_THAT([&] { OpenHistFile(ui, data); },
                    ThrowsMessage<std::runtime_error>(StartsWith("Cannot copy " + calls + ": ")));
    }
}

TEST_F(ImportTest, RowsWithoutACallAreSkippedAndCountedFromEitherSource) {
    const std::string file = writeCallHistory("NAQP calls.txt",
                                              "!!Order!!,Call,Name,State\n"
                                              "K1ABC,JOHN,MA\n"
                                              ",ANN,ON\n"
                                              "   ,BOB,TX\n"
                                              "\"\",EVE,CA\n"
                                              ",,,\n"
                                              "W1AW,HIRAM,CT\n");
    pickImportType(kv::ui::kHistoryFile, "OpenDialog_SourceHistory", file);
    pickContest("NAQP");
    const ImportCounts filed = Button_ImportClick(ui, data);
    EXPECT_EQ(filed.read, 5) << "a line of commas alone is no station";
    EXPECT_EQ(filed.withoutCall, 3);
    EXPECT_EQ(filed.inserted, 2);
    EXPECT_EQ(columnValues(history, "History", "Call"), (std::vector<std::string>{"K1ABC", "W1AW"}));

    const std::string log = files.file("uncalled.mdb");
    kv::testing::writeAccessDatabase(
        log, KV_SOURCE_DIR "/tests/support/logger/logger_schema.sql",
        {{"ContestInstance", kContestInstances},
         {"DXLOG",
          "TS,Call,ContestName,ContestNR,Sect,CK,Exchange1,Name,GridSquare,NR,Run1Run2,ID\n"
          "6-22-2024 18:01:00,N0XYZ,FD,3,CT,0,2A,,,0,0,a1\n"
          "6-22-2024 18:02:00,\"\",FD,3,EMA,0,1D,,,0,0,a2\n"
          "6-22-2024 18:03:00,\"  \",FD,3,,0,3A,,,0,0,a3\n"}});
    pickImportType(kv::ui::kLoggerHamDatabase, "OpenDialog_HamDB", log);
    pickContest("FD,6-22-2024");
    const ImportCounts logged = Button_ImportClick(ui, data);
    EXPECT_EQ(logged.read, 3);
    EXPECT_EQ(logged.withoutCall, 2);
    EXPECT_EQ(logged.inserted, 1);
    EXPECT_EQ(columnValues(history, "History", "Call"), (std::vector<std::string>{"K1ABC", "W1AW", "N0XYZ"}));
    EXPECT_EQ(ui.statusHistory().back(), "IMPORT finished");
}
