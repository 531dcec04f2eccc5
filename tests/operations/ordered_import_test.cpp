// A call-history file read as the logger reads it, by its !!Order!! lines, imported into History
// and read back through the table access layer; values cut to fit their columns, whatever the
// import; and the check that a positional contest type matches the file's own order.
#include "import/history_file.h"
#include "import/import_run.h"
#include "import/logger_log.h"
#include "import/order_conflict.h"
#include "import/ordered_history_file.h"
#include "import_fixtures.h"
#include "operation_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

using namespace kv::import;
using kv::history_db::HistoryStore;
using kv::mapping::MappingWorkbook;
using kv::testing::columnValues;
using kv::testing::ProgramFiles;
using kv::testing::TemporaryFolderSetting;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StrEq;
using ::testing::ThrowsMessage;
namespace fs = std::filesystem;

namespace {

class OrderedImportTest : public ::testing::Test {
protected:
    OrderedImportTest() {
        fs::copy_file(files.file(kv::history_db::kTemplateFileName), history);
        fs::create_directory(temporary);
    }

    std::string writeFile(const std::string& name, const std::string& bytes) {
        const std::string file = files.file(name);
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }
    ImportCounts importByOrder(const std::string& path) {
        OrderedHistoryFile source(path);
        return runImport(store(), source, {});
    }
    // The History column of every row, by call.
    std::map<std::string, std::string> column(const std::string& name) {
        store().close();
        const auto calls = columnValues(history, "History", "Call");
        const auto values = columnValues(history, "History", name);
        std::map<std::string, std::string> byCall;
        for (std::size_t i = 0; i < calls.size(); ++i) byCall[calls[i]] = values[i];
        return byCall;
    }
    HistoryStore& store() {
        if (!store_) store_.emplace(history);
        return *store_;
    }

    ProgramFiles files;
    const std::string history = files.file("calls.mdb");
    const std::string temporary = files.file("temporary");
    TemporaryFolderSetting temporarySetting{temporary};
    MappingWorkbook workbook{files.file("mapping.xls")};

private:
    std::optional<HistoryStore> store_;
};

}  // namespace

TEST_F(OrderedImportTest, EachFieldGoesToTheHistoryColumnOfItsNameThroughTheOrderInForce) {
    // A blank first line, a station before any !!Order!! (the default order), a directive, comments
    // between sections, names in other letter cases, an empty name, semicolons, blanks, CR LF and LF.
    const std::string file = writeFile("arrldx.txt",
                                       "\r\n"
                                       "K9OLD,OLDNAME,,,NFL,FL,71,,,,,5,8,DEFAULT ORDER\r\n"
                                       "# ARRL DX: the DX section\r\n"
                                       "!!AppendUserText!!\r\n"
                                       "!!Order!!,Call,Name,CQZone,,Usertext,Sponsor\r\n"
                                       "DL1ABC,HANS,14,skipped,from Germany\n"
                                       "  G3XYZ ; PETE ;14 ;; from England  \n"
                                       "\n"
                                       "# the US/VE section\n"
                                       "!!order!!;call;name;state;ck;exch1\n"
                                       "W1AW,HIRAM,CT,36,A1,extra one,extra two\n"
                                       "VE3AAA,,ON\n");
    const ImportCounts counts = importByOrder(file);
    EXPECT_EQ(counts.read, 5);
    EXPECT_EQ(counts.inserted, 5);
    EXPECT_EQ(counts.fieldsSkipped, (std::vector<std::string>{"Sponsor"})) << "no field of the logger";
    EXPECT_EQ(counts.extraFields, 2);
    EXPECT_EQ(counts.firstExtraLine, 11);
    EXPECT_EQ(counts.cut, ValuesCut{});

    EXPECT_EQ(column("Name"),
              (std::map<std::string, std::string>{
                  {"K9OLD", "OLDNAME"}, {"DL1ABC", "HANS"}, {"G3XYZ", "PETE"}, {"W1AW", "HIRAM"}, {"VE3AAA", ""}}));
    EXPECT_EQ(column("UserText")["G3XYZ"], "from England");
    EXPECT_EQ(column("UserText")["DL1ABC"], "from Germany");
    EXPECT_EQ(column("UserText")["K9OLD"], "DEFAULT ORDER");
    EXPECT_EQ(column("Sect")["K9OLD"], "NFL");
    EXPECT_EQ(column("CqZone")["K9OLD"], "5");
    EXPECT_EQ(column("ITUZone")["K9OLD"], "8");
    EXPECT_EQ(column("CqZone")["DL1ABC"], "14") << "CQZone goes to CqZone, letter case ignored";
    EXPECT_EQ(column("State")["VE3AAA"], "ON");
    EXPECT_EQ(column("Ck")["W1AW"], "36") << "CK goes to Ck, letter case ignored";
    EXPECT_EQ(column("Exch1")["W1AW"], "A1");
    EXPECT_EQ(column("data2")["W1AW"], "") << "no field of the logger is named data2";

    EXPECT_THAT(runNotesText(counts), HasSubstr("Fields with no History column were skipped: Sponsor."));
    EXPECT_THAT(runNotesText(counts), HasSubstr("2 values past the fields their line's !!Order!! names were ignored; "
                                                "the first at line 11."));
}

TEST_F(OrderedImportTest, SharedFilesImportByTheirOrderAsThePositionalTypeDoes) {
    const fs::path naqp = fs::path(files.file("NAQPCW.txt"));
    const fs::path ss = fs::path(files.file("SSCW.txt"));
    fs::copy_file(KV_FIXTURES_DIR "/callhistory/NAQPCW.txt", naqp);
    fs::copy_file(KV_FIXTURES_DIR "/callhistory/SSCW.txt", ss);

    const ImportCounts byOrder = importByOrder(naqp.string());
    EXPECT_GT(byOrder.read, 10000);
    EXPECT_TRUE(byOrder.fieldsSkipped.empty());
    const std::map<std::string, std::string> names = column("Name");
    EXPECT_EQ(names.at("AA0AC"), "DAVE");
    EXPECT_EQ(column("State").at("AA0AC"), "MN");

    // The same file as the workbook's NAQP type: the same stations, nothing new to say.
    HistoryFile file(naqp.string());
    HistoryFileContest positional(file, "NAQP");
    const ImportCounts again = runImport(store(), positional, workbook, {});
    EXPECT_EQ(again.read, byOrder.read);
    EXPECT_EQ(again.inserted, 0);
    EXPECT_EQ(column("Name"), names);

    const ImportCounts sweepstakes = importByOrder(ss.string());
    EXPECT_GT(sweepstakes.read, 10000);
    EXPECT_EQ(column("Ck").at("AA0AC"), "96");
    EXPECT_EQ(column("Sect").at("AA0CY"), "EPA");
}

TEST_F(OrderedImportTest, AFileThatCannotBeReadAsCallHistoryIsRefusedBeforeAnythingChanges) {
    const std::string noCall = writeFile("nocall.txt", "K1ABC,JOHN\n# next section\n!!Order!!,Name,State\nJOHN,MA\n");
    EXPECT_THAT([&] { importByOrder(noCall); },
                ThrowsMessage<std::runtime_error>(StrEq(
                    noCall + ", line 3: the !!Order!! line names no Call field, so its stations cannot be filed")));
    const std::string binary = writeFile("calls.bin", std::string("K1ABC,JOHN\n\0\x01\x02\xFF", 15));
    EXPECT_THAT([&] { importByOrder(binary); },
                ThrowsMessage<std::runtime_error>(StrEq(binary + " is not a text file: it contains NUL bytes")));
    EXPECT_THAT([&] { importByOrder(files.file("missing.txt")); },
                ThrowsMessage<std::runtime_error>(StrEq("Cannot open file " + files.file("missing.txt"))));
    EXPECT_THAT([&] { importByOrder(temporary); }, ThrowsMessage<std::runtime_error>(HasSubstr("is a folder")));
    EXPECT_FALSE(fs::exists(history + ".bup")) << "no run began";
    EXPECT_EQ(store().count(), 0);

    // Windows-1252 and UTF-8 both read.
    const std::string ansi = writeFile("ansi.txt", "!!Order!!,Call,Name\nEA1ABC,JOS\xC9\n");
    const std::string utf8 = writeFile("utf8.txt", "\xEF\xBB\xBF!!Order!!,Call,Name\nEA2ABC,JOS\xC3\x89\n");
    importByOrder(ansi);
    importByOrder(utf8);
    EXPECT_EQ(column("Name").at("EA1ABC"), "JOS\xC3\x89");
    EXPECT_EQ(column("Name").at("EA2ABC"), "JOS\xC3\x89");
}

TEST_F(OrderedImportTest, ValuesLongerThanTheirColumnAreCutToItsCharactersInEveryImport) {
    EXPECT_EQ(store().openHistory().textCapacity("Name"), 50u);
    EXPECT_EQ(store().openHistory().textCapacity("Updated"), std::nullopt) << "a date has no text capacity";

    // 60 characters of two bytes each: the column holds 50 characters, not 50 bytes.
    std::string longText;
    for (int i = 0; i < 60; ++i) longText += "\xC3\xA9";
    const std::string file = writeFile("long.txt",
                                       "!!Order!!,Call,UserText,Name\n"
                                       "K1ABC,JOHN,short\n"
                                       "W1AW,HIRAM," +
                                           longText +
                                           "\n"
                                           "N0CALLSIGNWAYTOOLONGX,BOB," +
                                           longText + "\n");
    const ImportCounts counts = importByOrder(file);
    EXPECT_EQ(counts.read, 3);
    EXPECT_EQ(counts.cut.count, 3);
    EXPECT_EQ(counts.cut.columns, (std::vector<std::string>{"Name", "Call"}));
    EXPECT_EQ(counts.cut.firstPlace, "line 3");
    EXPECT_EQ(counts.cut.firstCall, "W1AW");
    EXPECT_EQ(column("Name").at("W1AW"), longText.substr(0, 100));
    EXPECT_EQ(column("Name").at("N0CALLSIGNWAYTOOLONG"), longText.substr(0, 100)) << "the call cut to Text (20)";
    EXPECT_THAT(runNotesText(counts),
                StrEq("3 values were longer than their History columns hold and were cut to fit (Name, Call); "
                      "the first at line 3, call W1AW.\n"));

    // The positional import counts its cuts too, by the row's position.
    HistoryFile positionalFile(writeFile("naqp.txt", "Call,Name,State,UserText\nK2ABC," + longText + ",MA,x\n"));
    HistoryFileContest positional(positionalFile, "NAQP");
    const ImportCounts byType = runImport(store(), positional, workbook, {});
    EXPECT_EQ(byType.cut, (ValuesCut{1, {"Name"}, "row 1", "K2ABC"}));

    // And a logger import, through a workbook that files the logger's Name (20) in Sect (10).
    const std::string logger = files.file("ham.mdb");
    kv::testing::writeAccessDatabase(
        logger, kv::testing::kLoggerSchema,
        {{"ContestInstance", kv::testing::kContestInstances},
         {"DXLOG",
          "TS,Call,ContestName,ContestNR,Sect,CK,Exchange1,Name,GridSquare,NR,Run1Run2,ID\n"
          "6-22-2024 18:01:00,K3LR,FD,3,WPA,0,2A,TIMOTHYALEXANDER,,0,0,a1\n"}});
    const std::string sectFromName = files.file("sect from name.xls");
    kv::testing::writeWorkbook(sectFromName,
                               "Contest,History,Contest_general,Field1,field2,field3,field4,field5,field6,field7,"
                               "Call,Ck,Sect,Exchange1,Name,Gridsquare,nr\n"
                               "FD,1,FD,Call,,,,,,,Call,,,,Sect,,\n",
                               "");
    MappingWorkbook nameToSect(sectFromName);
    LoggerLog log(logger);
    LoggerContest contest(log, {"3", "FD", ""});
    const ImportCounts logged = runImport(store(), contest, nameToSect, {});
    EXPECT_EQ(logged.cut, (ValuesCut{1, {"Sect"}, "row 1", "K3LR"}));
    EXPECT_EQ(column("Sect").at("K3LR"), "TIMOTHYALE");
}

TEST(OrderConflict, APositionalTypeConflictsOnlyWhereItPutsANamedFieldIntoAnotherColumn) {
    kv::mapping::FieldMap fieldDay;  // as the workbook's FD row: Call, data2, Sect
    fieldDay.setKey("field1", "Call");
    fieldDay.add("field2", "data2");
    fieldDay.add("field3", "Sect");
    const OrderLine sameNames{1, {"call", "DATA2", "", "UserText"}};
    EXPECT_EQ(findOrderConflict(fieldDay, std::vector<OrderLine>{sameNames}), std::nullopt)
        << "letter case, an empty name and a field past the type's are no conflict";

    const OrderLine fileOrder{7, {"Call", "Exch1", "Sect", "UserText"}};
    const auto conflict = findOrderConflict(fieldDay, std::vector<OrderLine>{sameNames, fileOrder});
    ASSERT_TRUE(conflict);
    EXPECT_EQ(conflict->typeOrder, (std::vector<std::string>{"Call", "data2", "Sect"}));
    EXPECT_EQ(conflict->fileOrder, fileOrder) << "the second section is the one that disagrees";
    EXPECT_EQ(
        orderConflictText(*conflict, "FD", "fd.txt"),
        "fd.txt, line 7: its !!Order!! is Call,Exch1,Sect,UserText, but the contest type FD reads Call,data2,Sect");

    kv::mapping::FieldMap gap;  // field2 left empty in the workbook
    gap.setKey("field1", "Call");
    gap.add("field3", "Name");
    EXPECT_EQ(findOrderConflict(gap, std::vector<OrderLine>{{1, {"Call", "State", "Name"}}}), std::nullopt);
    EXPECT_TRUE(findOrderConflict(gap, std::vector<OrderLine>{{1, {"Call", "Name", "State"}}}));
}
