// The Excel provider and the choice of provider: workbooks written by make_workbook.py (checked
// once against xlrd, an independent reader), the program's mapping.xls, and files that are no
// workbook or no database.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "data_access/connection.h"
#include "data_access/cursor.h"
#include "data_access/provider_choice.h"
#include "test_support.h"

namespace kv::data_access {
namespace {

using testing::errorOf;
using testing::makeWorkbook;
using testing::TempDir;
using testing::writeFile;

std::string excelConnection(const std::string& path) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source =" + path + ";Extended Properties=Excel 8.0;";
}

const char* importSheet =
    "Contest,History,Contest_general,Field1,field2,Score\n"
    "NAQPCW,1,NAQP,Call,Name,2.5\n"
    "CQWWCW,0,CQ World Wide,Call,,-3\n"
    "ARRLSSCW,1,Sweepstakes,Call,Sect,100000\n";

class ExcelProvider : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.file("my mapping.xls");
        makeWorkbook(path,
                     {{"ImportMapping", importSheet}, {"ExportMapping", "Contest,History,field1\nNAQP,1,Call\n"}});
        connection.setConnectionString(excelConnection(path));
        cursor.setConnection(&connection);
    }

    TempDir dir;
    std::string path;
    Connection connection;
    Cursor cursor{"ADODataSet_Mapping"};
};

TEST_F(ExcelProvider, GeneratedWorkbookReadsTheSameWithXlrd) {
    std::string output = testing::runPython(
        "import sys, xlrd\n"
        "s = xlrd.open_workbook(sys.argv[1]).sheet_by_name(\"ImportMapping\")\n"
        "print(s.nrows, s.cell_value(1, 0), s.cell_value(1, 5), s.cell_value(2, 4) == \"\")\n",
        {path});
    EXPECT_EQ(output, "4 NAQPCW 2.5 True\n");
}

// Cells make_workbook.py does not write: dates, times and formulas, written with xlwt directly.
TEST_F(ExcelProvider, ReadsDatesInTheProcessFormatAndFormulasAsEmpty) {
    std::string dated = dir.file("dated.xls");
    testing::runPython(
        "import sys, datetime, xlwt\n"
        "b = xlwt.Workbook(); s = b.add_sheet(\"Log\")\n"
        "for c, t in enumerate([\"Day\", \"Stamp\", \"Time\", \"Sum\", \"\"]): s.write(0, c, t)\n"
        "s.write(1, 0, datetime.date(2005, 5, 4), xlwt.easyxf(num_format_str=\"YYYY-MM-DD\"))\n"
        "s.write(1, 1, datetime.datetime(2005, 12, 1, 9, 5, 7), xlwt.easyxf(num_format_str=\"YYYY-MM-DD hh:mm:ss\"))\n"
        "s.write(1, 2, datetime.time(23, 59, 1), xlwt.easyxf(num_format_str=\"hh:mm:ss\"))\n"
        "s.write(1, 3, xlwt.Formula(\"1+2\"))\n"
        "s.write(1, 4, 0.1)\n"
        "b.save(sys.argv[1])\n",
        {dated});
    Connection workbook;
    workbook.setConnectionString(excelConnection(dated));
    Cursor log("ADODataSet_Mapping");
    log.setConnection(&workbook);
    log.setTableName("[Log$]");
    log.open();
    EXPECT_EQ(log.text("Day"), "5-4-2005");
    EXPECT_EQ(log.text("Stamp"), "12-1-2005 9:05:07");
    EXPECT_EQ(log.text("Time"), "23:59:01");
    EXPECT_EQ(log.text("Sum"), "");
    EXPECT_EQ(log.text("F5"), "0.1");  // an empty header cell names the column as Jet does
}

TEST_F(ExcelProvider, ReadsSheetsAsTablesWithCellsAsUsersSeeThem) {
    cursor.setTableName("[ImportMapping$]");
    cursor.open();
    EXPECT_EQ(cursor.recordCount(), 3);
    EXPECT_EQ(cursor.columnNames().front(), "Contest");
    EXPECT_EQ(cursor.text("contest"), "NAQPCW");
    EXPECT_EQ(cursor.text("HISTORY"), "1");
    EXPECT_EQ(cursor.text("Score"), "2.5");
    cursor.next();
    EXPECT_EQ(cursor.text("field2"), "");
    EXPECT_EQ(cursor.text("Score"), "-3");
    cursor.next();
    EXPECT_EQ(cursor.text("Score"), "100000");
    EXPECT_EQ(errorOf([&] { cursor.text("field8"); }), "ADODataSet_Mapping: Field 'field8' not found");

    cursor.setFilter("History = 1");
    cursor.setFiltered(true);
    std::vector<std::string> listed;
    for (cursor.first(); !cursor.atEnd(); cursor.next()) listed.push_back(cursor.text("Contest_general"));
    EXPECT_EQ(listed, (std::vector<std::string>{"NAQP", "Sweepstakes"}));
    cursor.setFiltered(false);
    EXPECT_TRUE(cursor.locate("Contest;History", {"arrlsscw", "1"}));
    EXPECT_EQ(cursor.text("field2"), "Sect");

    cursor.edit();
    EXPECT_NE(errorOf([&] { cursor.setText("Contest", "x"); }).find("is read-only"), std::string::npos);
    cursor.cancel();

    cursor.close();
    cursor.setTableName("ExportMapping$");
    cursor.open();
    EXPECT_EQ(cursor.text("field1"), "Call");
    cursor.close();
    cursor.setTableName("[Nothing$]");
    EXPECT_EQ(errorOf([&] { cursor.open(); }), "Workbook " + path + " has no sheet Nothing");

    Cursor tables("ADODataSet_tables");
    connection.listTables(tables);
    EXPECT_TRUE(tables.locate("TABLE_NAME", {"ImportMapping$"}));
}

TEST_F(ExcelProvider, ProgramMappingWorkbookHasBothSheetsAndHistoryColumnsOnly) {
    Connection mapping;
    mapping.setConnectionString(excelConnection(std::string(KV_PROGRAM_DIR) + "/mapping.xls"));
    Cursor sheet("ADODataSet_Mapping");
    sheet.setConnection(&mapping);
    const std::vector<std::string> history = {"",       "Call",    "Name",     "Sect",  "State",     "Ck",     "Exch1",
                                              "Grid",   "Nr",      "Loc1",     "Loc2",  "BirthDate", "Misc",   "Power",
                                              "CqZone", "ITUZone", "UserText", "data2", "data3",     "Updated"};
    auto isHistoryColumn = [&](const std::string& name) {
        return std::find(history.begin(), history.end(), name) != history.end();
    };
    sheet.setTableName("[ImportMapping$]");
    sheet.open();
    int offered = 0, hidden = 0;
    for (sheet.first(); !sheet.atEnd(); sheet.next()) {
        (sheet.text("History") == "1" ? offered : hidden)++;
        for (const char* column : {"Field1", "field2", "field3", "field4", "field5", "field6", "field7", "Call", "Ck",
                                   "Sect", "Exchange1", "Name", "Gridsquare", "nr", "ZN", "Power"})
            EXPECT_TRUE(isHistoryColumn(sheet.text(column))) << sheet.text("Contest") << " " << column;
    }
    EXPECT_GE(offered, 4);
    EXPECT_GE(hidden, 1) << "the sheet has contests the lists leave out";
    EXPECT_TRUE(sheet.locate("Contest", {"NAQPCW"}));
    EXPECT_EQ(sheet.text("Field1"), "Call");
    sheet.close();

    sheet.setTableName("[ExportMapping$]");
    sheet.open();
    sheet.setFilter("History = 1");
    sheet.setFiltered(true);
    EXPECT_GE(sheet.recordCount(), 4);
    for (sheet.first(); !sheet.atEnd(); sheet.next())
        for (int k = 1; k <= 14; ++k) EXPECT_TRUE(isHistoryColumn(sheet.text("field" + std::to_string(k))));
}

TEST_F(ExcelProvider, ProviderChoiceChecksSignaturesAndDataSource) {
    EXPECT_EQ(chooseProvider(excelConnection("/a b/m.xls")).kind, ProviderKind::Excel);
    EXPECT_EQ(chooseProvider(excelConnection("/a b/m.xls")).dataSource, "/a b/m.xls");
    EXPECT_EQ(
        chooseProvider("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/x/;Extended Properties=\"Text; HDR=yes\"").kind,
        ProviderKind::Text);
    EXPECT_EQ(chooseProvider("Provider=Microsoft.Jet.OLEDB.4.0;Data Source =/x/h.mdb;Persist Security Info=False").kind,
              ProviderKind::Access);
    EXPECT_NE(errorOf([] {
                  chooseProvider("Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False");
              }).find("has no Data Source"),
              std::string::npos);

    std::string text = dir.file("notes.xls");
    writeFile(text, "Contest,History\nNAQPCW,1\n");
    std::string damaged = dir.file("damaged.xls");
    writeFile(damaged, testing::readFile(path).substr(0, 700));
    std::string jet = std::string(KV_FIXTURES_DIR) + "/jet4/emptyJet4.mdb";
    auto openExcel = [](const std::string& file) { openProvider({ProviderKind::Excel, file}); };
    EXPECT_EQ(errorOf([&] { openExcel(text); }), text + " is not an Excel workbook");
    EXPECT_EQ(errorOf([&] { openExcel(jet); }), jet + " is not an Excel workbook");
    EXPECT_NE(errorOf([&] { openExcel(damaged); }).find("is damaged or not an Excel 8.0 workbook"), std::string::npos);
    EXPECT_EQ(errorOf([&] { openExcel(dir.file("none.xls")); }), "File " + dir.file("none.xls") + " not found");
    EXPECT_EQ(errorOf([&] { openProvider({ProviderKind::Access, path}); }), path + " is not an Access database");
    EXPECT_EQ(errorOf([&] {
                  openProvider({ProviderKind::Access, dir.path().string()});
              }),
              dir.path().string() + " is a folder, not a file");
    // A real Jet file passes the signature check and reaches the Access provider.
    EXPECT_EQ(errorOf([&] {
                  openProvider({ProviderKind::Access, jet});
              }).find("is not an Access database"),
              std::string::npos);
    EXPECT_EQ(testing::readFile(text), "Contest,History\nNAQPCW,1\n");  // refused files stay as they were
}

}  // namespace
}  // namespace kv::data_access
