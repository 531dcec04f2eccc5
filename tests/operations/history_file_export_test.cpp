// The export: the file's format and encoding, its progress, and every error this platform lets a
// test produce, each leaving an earlier file as it was; then the export page through the scripted
// window.
#include "export/history_file_export.h"
#include "fake_ui.h"
#include "operation_files.h"
#include "shell/export_page.h"
#include "shell/form_create.h"
#include "shell/history_database.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

using namespace kv::export_;
using kv::history_db::HistoryStore;
using kv::history_db::Progress;
using kv::shell::DataObjects;
using kv::testing::fileBytes;
using kv::testing::ProgramFiles;
using kv::testing::writeHistoryDatabase;
using kv::testing::writeWorkbook;
using kv::ui::testing::FakeUi;
using ::testing::StrEq;
using ::testing::ThrowsMessage;
namespace fs = std::filesystem;

namespace {

using Columns = kv::mapping::ExportColumns;
const Columns kNames{"Call", "Name", "data2", "", "", "", "", ""};
const Columns kSweepstakes{"Call", "", "", "", "Sect", "State", "Ck", ""};
const Columns kNoKey{"", "Name", "", "", "", "", "", ""};
const Columns kTypo{"Call", "Name", "Nickname", "", "", "", "", ""};

const char* const kRows =
    "Call,Name,data2,Sect,State,Ck\n"
    "Q1QQQ,\"Ann \",,,,\n"                // the example: a trailing blank, data2 empty
    "K2NONE,,,,,\n"                       // nothing to say: no line
    "K3BLANK,\"  \t \",,,,\n"             // only blanks: no line
    ",Bob,,,,\n"                          // a value without a key: an empty first field
    "W4COMMA,\"Smith, Jr.\",2A,,,\n"      // a comma stays as it is
    "\" W5PAD \",\"\tTom\",,EMA,MA,72\n"  // blanks and control characters trimmed
    "DL6ZOE,Zoë,€uro,,,\n"                // both in Windows-1252
    "SV7OMG,Ωmega,,,,\n";                 // Ω is not: written as ?

// No file of the export is left beside its target.
void expectNoPartialFileIn(const fs::path& folder) {
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_EQ(entry.path().filename().string().find(".partial"), std::string::npos) << entry.path();
}

class HistoryFileExportTest : public ::testing::Test {
protected:
    void SetUp() override { writeHistoryDatabase(database, kRows); }

    long long exportTo(const Columns& columns, const std::string& target,
                       HistoryFileEncoding encoding = HistoryFileEncoding::Windows1252, const Progress& progress = {}) {
        HistoryStore store(database);
        return exportHistoryFile(store, columns, target, encoding, progress);
    }

    ProgramFiles files;
    const std::string database = files.file("calls.mdb");
};

}  // namespace

TEST_F(HistoryFileExportTest, WritesEightTrimmedFieldsPerRowWithSomethingToSayInWindows1252) {
    const std::string target = files.file("names.txt");
    EXPECT_EQ(exportTo(kNames, target), 6);

    EXPECT_EQ(fileBytes(target),
              "Q1QQQ,Ann,,,,,,\r\n"
              ",Bob,,,,,,\r\n"
              "W4COMMA,Smith, Jr.,2A,,,,,\r\n"
              "W5PAD,Tom,,,,,,\r\n"
              "DL6ZOE,Zo\xEB,\x80uro,,,,,\r\n"
              "SV7OMG,?mega,,,,,,\r\n");
    expectNoPartialFileIn(files.path());

    EXPECT_EQ(exportTo(kSweepstakes, target, HistoryFileEncoding::Utf8), 1);
    EXPECT_EQ(fileBytes(target), "W5PAD,,,,EMA,MA,72,\r\n") << "a second export replaces the file";

    exportTo(kNames, target, HistoryFileEncoding::Utf8);
    EXPECT_NE(fileBytes(target).find("DL6ZOE,Zoë,€uro,,,,,\r\nSV7OMG,Ωmega,,,,,,\r\n"), std::string::npos);
}

TEST_F(HistoryFileExportTest, FieldsNineToFourteenBringAnOrderLineNamingExactlyTheFilledFields) {
    writeHistoryDatabase(database,
                         "Call,Name,Power,CqZone,UserText,Sect\n"
                         "DL1ABC,Hans,100,14,,\n"
                         "JA1XYZ,,,25,,\n"
                         "K1QUIET,,,,,EMA\n"              // only a column the contest does not name: no line
                         "VK2NOTE,,,,  sked 0100z ,\n");  // only UserText, trimmed
    Columns zones{};
    zones[0] = "Call";
    zones[1] = "Name";
    zones[10] = "Power";
    zones[11] = "CqZone";
    zones[13] = "UserText";
    const std::string target = files.file("zones.txt");
    EXPECT_EQ(exportTo(zones, target), 3) << "the !!Order!! line is no station";
    const std::string written = fileBytes(target);
    EXPECT_EQ(written,
              "!!Order!!,Call,Name,Power,CqZone,UserText\r\n"
              "DL1ABC,Hans,100,14,\r\n"
              "JA1XYZ,,,25,\r\n"
              "VK2NOTE,,,,sked 0100z\r\n");
    std::istringstream lines(written);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "!!Order!!,Call,Name,Power,CqZone,UserText\r");
    while (std::getline(lines, line))
        EXPECT_EQ(std::count(line.begin(), line.end(), ','), 4) << "five fields: " << line;

    Columns positions{};
    for (std::size_t k = 0; k < positions.size(); ++k) positions[k] = k == 0 ? "Call" : "CqZone";
    exportTo(positions, target);
    EXPECT_EQ(fileBytes(target).substr(0, fileBytes(target).find("\r\n")),
              "!!Order!!,Call,Name,Loc1,Loc2,Sect,State,CK,BirthDate,Exch1,Misc,Power,CqZone,ITUZone,UserText")
        << "every position under the logger's own name, in its default order";

    HistoryStore(database).empty();
    EXPECT_EQ(exportTo(zones, target), 0);
    EXPECT_EQ(fileBytes(target), "!!Order!!,Call,Name,Power,CqZone,UserText\r\n");
}

TEST_F(HistoryFileExportTest, ALineBreakOrControlCharacterInsideAValueIsWrittenAsABlank) {
    writeHistoryDatabase(database,
                         "Call,Name,data2\n"
                         "W1AW,\"Hiram\r\nPercy\",\"2A\n\"\n"  // CR LF is one line break
                         "\"K1\rABC\",\"Ann\tMarie\x01\x7FX\",\"\x7F"
                         "1\"\n"  // inside: blanks; around: trimmed
                         "\"\n\",\"\n\nBob\",\n");
    const std::string target = files.file("names.txt");
    exportTo(kNames, target);
    EXPECT_EQ(fileBytes(target),
              "W1AW,Hiram Percy,2A,,,,,\r\n"
              "K1 ABC,Ann Marie  X,1,,,,,\r\n"
              ",Bob,,,,,,\r\n");
}

TEST_F(HistoryFileExportTest, AContestWithoutKeyColumnAndAnEmptyHistoryGiveEmptyFiles) {
    const std::string target = files.file("nokey.txt");
    EXPECT_EQ(exportTo(kNoKey, target), 0);
    EXPECT_EQ(fileBytes(target), "");

    HistoryStore(database).empty();
    EXPECT_EQ(exportTo(kNames, target), 0);
    EXPECT_EQ(fileBytes(target), "");
}

TEST_F(HistoryFileExportTest, TellsItsRowsAndItsEnd) {
    std::vector<std::pair<long long, long long>> rows;
    std::vector<std::string> statuses;
    const Progress progress{[&](const std::string& text) { statuses.push_back(text); },
                            [&](long long done, long long total) { rows.emplace_back(done, total); }};
    exportTo(kNames, files.file("names.txt"), HistoryFileEncoding::Windows1252, progress);

    ASSERT_EQ(rows.size(), 9u) << "0 done, then each of the 8 rows, with or without a line";
    for (long long done = 0; done <= 8; ++done) EXPECT_EQ(rows[done], (std::pair{done, 8LL}));
    EXPECT_EQ(statuses, std::vector<std::string>{"Historyfile generated:names.txt"});
    EXPECT_EQ(exportedStatus("/some/folder/ss.txt"), "Historyfile generated:ss.txt");
}

TEST_F(HistoryFileExportTest, AColumnHistoryLacksIsFoundBeforeAnythingIsWritten) {
    const std::string target = files.file("typo.txt");
    std::ofstream(target) << "the export of last year";
    EXPECT_THAT([&] { exportTo(kTypo, target); },
                ThrowsMessage<std::runtime_error>(StrEq("ADODataSet_ThDB: Field 'Nickname' not found")));
    EXPECT_EQ(fileBytes(target), "the export of last year");
    expectNoPartialFileIn(files.path());
}

TEST_F(HistoryFileExportTest, FileErrorsAreToldInTheUsersWordsAndKeepTheEarlierFile) {
    const auto expectFailure = [&](const std::string& target, const std::string& message) {
        EXPECT_THAT([&] { exportTo(kNames, target); }, ThrowsMessage<std::runtime_error>(StrEq(message))) << target;
    };
    expectFailure(files.file("no such folder/names.txt"), "File not found");
    expectFailure(files.file(std::string(300, 'n') + ".txt"), "Invalid filename");
    fs::create_directories(files.file("a folder.txt/inside"));
    expectFailure(files.file("a folder.txt"), "File access denied");
    fs::create_directory_symlink("loop", files.file("loop"));
    expectFailure(files.file("loop/names.txt"), "I/O error " + std::to_string(ELOOP));
    expectNoPartialFileIn(files.path());
}

TEST_F(HistoryFileExportTest, TooManyOpenFilesIsToldAsSuch) {
    HistoryStore store(database);
    store.count();  // the database is open before the limit is lowered
    // In a child, so that the lowered limit ends with it.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int lowestFree = dup(0);
        close(lowestFree);
        const rlimit limit{static_cast<rlim_t>(lowestFree), static_cast<rlim_t>(lowestFree)};
        int outcome = setrlimit(RLIMIT_NOFILE, &limit) == 0 ? 2 : 3;
        try {
            exportHistoryFile(store, kNames, files.file("names.txt"), HistoryFileEncoding::Windows1252, {});
        } catch (const std::runtime_error& error) {
            outcome = std::string(error.what()) == "Too many open files" ? 0 : 1;
        }
        _exit(outcome);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: another message, 2: no error, 3: the limit could not be set";
    EXPECT_FALSE(fs::exists(files.file("names.txt")));
}

// A small file system of its own, in a mount namespace of this test process only.
TEST_F(HistoryFileExportTest, AFullDiskIsToldAsSuchAndKeepsTheEarlierFile) {
    const fs::path small = files.path() / "small";
    fs::create_directory(small);
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "mounting a small file system needs root: " << std::strerror(errno);
    const std::string target = (small / "names.txt").string();
    std::ofstream(target) << "the export of last year";
    {
        std::ofstream filler(small / "filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), block.size())) filler.flush();
    }
    std::string rows = "Call,Name\n";
    for (int i = 0; i < 20000; ++i) rows += "K" + std::to_string(i) + "X,Operator\n";
    writeHistoryDatabase(database, rows);

    EXPECT_THAT([&] { exportTo(kNames, target); }, ThrowsMessage<std::runtime_error>(StrEq("Disk full")));
    EXPECT_EQ(fileBytes(target), "the export of last year");
    expectNoPartialFileIn(small);
    umount(small.c_str());
}

namespace {

const char* const kImportSheet =
    "Contest,History,Contest_general,Field1,field2,field3,field4,field5,field6,field7,"
    "Call,Ck,Sect,Exchange1,Name,Gridsquare,nr\nNAQPCW,1,NAQP,Call,Name,,,,,,Call,,,,Name,,\n";
const char* const kExportSheet =
    "Contest,History,field1,field2,field3,field4,field5,field6,field7,field8\n"
    "NAMES,1,Call,Name,data2,,,,,\n"
    "SS,1,Call,,,,Sect,State,Ck,\n";

class ExportPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeWorkbook(files.file("mapping.xls"), kImportSheet, kExportSheet);
        writeHistoryDatabase(database, kRows);
        kv::shell::FormCreate(ui);
        ui.state().HistoryPath = database;
        kv::shell::OpenTHDatabase(ui, data, database);
    }

    void pickContest(const std::string& contest) {
        const auto items = ui.items("ComboBox_ExportContest");
        const auto found = std::find(items.begin(), items.end(), contest);
        ASSERT_NE(found, items.end()) << contest;
        ui.setItemIndex("ComboBox_ExportContest", static_cast<int>(found - items.begin()));
        kv::shell::ComboBox_ExportContestSelect(ui);
    }
    void chooseTarget(const std::string& target) {
        ui.expectDialog("SaveDialog_TargetHistory", target);
        kv::shell::Button_TargetHistoryClick(ui);
    }

    ProgramFiles files;
    const std::string database = files.file("calls.mdb");
    FakeUi ui{files.withSeparator()};
    DataObjects data;
};

}  // namespace

TEST_F(ExportPageTest, ExportWritesTheFileOfThePickedContestsRowAndSaysSo) {
    const std::string target = files.file("ss.txt");
    pickContest("SS");
    chooseTarget(target);
    kv::shell::Button_ExportClick(ui, data);
    EXPECT_EQ(fileBytes(target), "W5PAD,,,,EMA,MA,72,\r\n");
    EXPECT_EQ(ui.text("StatusBar1"), "Historyfile generated:ss.txt");
    EXPECT_FALSE(ui.isVisible("ProgressBar1"));
}

TEST_F(ExportPageTest, AWorkbookWithFieldsNineToFourteenExportsTheOrderForm) {
    writeWorkbook(files.file("mapping.xls"), kImportSheet,
                  "Contest,History,field1,field2,field3,field4,field5,field6,field7,field8,field9,field10,field11,"
                  "field12,field13,field14\n"
                  "ZONES,1,Call,,,,Sect,,,,,,,Ck,,\n"
                  "NAMES,1,Call,Name,data2,,,,,,,,,,,\n");
    kv::shell::FormCreate(ui);
    kv::shell::OpenTHDatabase(ui, data, database);
    const std::string target = files.file("zones.txt");
    pickContest("ZONES");
    chooseTarget(target);
    kv::shell::Button_ExportClick(ui, data);
    EXPECT_EQ(fileBytes(target), "!!Order!!,Call,Sect,CqZone\r\nW5PAD,EMA,72\r\n");

    pickContest("NAMES");
    chooseTarget(target);
    kv::shell::Button_ExportClick(ui, data);
    EXPECT_EQ(fileBytes(target).substr(0, 17), "Q1QQQ,Ann,,,,,,\r\n") << "empty field9..field14: the eight fields";
}

TEST_F(ExportPageTest, ThePageEnablesEachStepAndAnotherContestDropsTheTarget) {
    pickContest("SS");
    EXPECT_EQ(ui.state().ExportContest, "SS");
    EXPECT_TRUE(ui.isEnabled("Button_TargetHistory"));
    EXPECT_FALSE(ui.isEnabled("Edit_TargetHistory"));
    EXPECT_FALSE(ui.isEnabled("Button_Export"));
    EXPECT_EQ(ui.text("StatusBar1"),
              "Contest mapping to use for history file selected, specify target history filename");

    ui.expectDialog("SaveDialog_TargetHistory", std::nullopt);
    kv::shell::Button_TargetHistoryClick(ui);
    EXPECT_FALSE(ui.isEnabled("Button_Export")) << "a cancelled dialog chooses nothing";

    const std::string target = files.file("ss.txt");
    chooseTarget(target);
    EXPECT_EQ(ui.state().TargetHistoryPath, target);
    EXPECT_EQ(ui.text("Edit_TargetHistory"), "ss.txt");
    EXPECT_EQ(ui.hint("Edit_TargetHistory"), target);
    EXPECT_TRUE(ui.showHint("Edit_TargetHistory"));
    EXPECT_TRUE(ui.isEnabled("Edit_TargetHistory"));
    EXPECT_TRUE(ui.isEnabled("Button_Export"));
    EXPECT_EQ(ui.text("ComboBox_ExportContest"), "SS") << "the contest stays picked";
    EXPECT_EQ(ui.text("StatusBar1"), "Target history filename defined, select EXPORT to generate new history file");

    pickContest("NAMES");
    EXPECT_EQ(ui.text("Edit_TargetHistory"), "");
    EXPECT_FALSE(ui.showHint("Edit_TargetHistory"));
    EXPECT_FALSE(ui.isEnabled("Button_Export"));
}

TEST_F(ExportPageTest, TheProgressBarStepsAHundredthOfTheRowsAtATime) {
    std::string rows = "Call,Name\n";
    for (int i = 0; i < 250; ++i) rows += "K" + std::to_string(i) + "X,Al\n";
    writeHistoryDatabase(database, rows);
    kv::shell::OpenTHDatabase(ui, data, database);
    pickContest("NAMES");
    chooseTarget(files.file("many.txt"));
    kv::shell::Button_ExportClick(ui, data);

    EXPECT_EQ(ui.progress().maximum(), 250);
    EXPECT_EQ(ui.progress().step(), 3) << "2.5 rounds to the even 2, plus 1";
    EXPECT_EQ(ui.progress().position(), 249) << "83 steps of 3";
    EXPECT_FALSE(ui.isVisible("ProgressBar1"));
}
