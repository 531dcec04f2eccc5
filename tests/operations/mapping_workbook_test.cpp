// The lookups in the mapping workbook, on workbooks written for each case by the build's own
// workbook writer and read back through the Excel provider.
#include "mapping/mapping_workbook.h"
#include "operation_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace kv::mapping;
using kv::testing::ProgramFiles;
using kv::testing::writeWorkbook;
using ::testing::HasSubstr;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

namespace {

const char* const kImportHeader =
    "Contest,History,Contest_general,Field1,field2,field3,field4,field5,field6,field7,"
    "Call,Ck,Sect,Exchange1,Name,Gridsquare,nr\n";
const char* const kExportHeader = "Contest,History,field1,field2,field3,field4,field5,field6,field7,field8\n";

const char* const kNoMapping =
    "No import mapping exists for this content, create contest in mapping file and restart program";
const char* const kNotSupported = "Selected contest is not supported in N1MM Logger to use history";

FieldMap fieldMap(std::optional<AList> key, const std::vector<AList>& values) {
    FieldMap map;
    if (key) map.setKey(key->source, key->target);
    for (const AList& entry : values) map.add(entry.source, entry.target);
    return map;
}

class MappingWorkbookTest : public ::testing::Test {
protected:
    // A workbook with these sheets; an empty text leaves the sheet out.
    MappingWorkbook workbook(const std::string& importRows, const std::string& exportRows = "") {
        const std::string path = files.file("mapping_test.xls");
        writeWorkbook(path, importRows.empty() ? "" : kImportHeader + importRows,
                      exportRows.empty() ? "" : kExportHeader + exportRows);
        return MappingWorkbook(path);
    }

    ProgramFiles files;
};

}  // namespace

TEST_F(MappingWorkbookTest, ContestListsHaveTheHistoryRowsInSheetOrderWithDuplicates) {
    MappingWorkbook mapping = workbook(
        "NAQPCW,1,NAQP,Call,Name,State,,,,,Call,,,State,Name,,\n"
        "CQWWCW,0,DX,Call,,,,,,,Call,,,,,,\n"
        "NAQPSSB,1,NAQP,Call,Name,State,,,,,Call,,,State,Name,,\n"
        "FD,1,FD,Call,data2,Sect,,,,,Call,,Sect,data2,,,\n",
        "NAQPCW,1,Call,Name,,,,State,,\n"
        "CQWWCW,0,Call,,,,,,,\n"
        "ARRLSSCW,1,Call,,,,Sect,,Ck,\n"
        "FD,1,Call,,,,Sect,,,\n");

    EXPECT_EQ(mapping.exportContests(), (std::vector<std::string>{"NAQPCW", "ARRLSSCW", "FD"}));
    EXPECT_EQ(mapping.historyFileContestTypes(), (std::vector<std::string>{"NAQP", "NAQP", "FD"}));
    EXPECT_EQ(mapping.exportContests(), (std::vector<std::string>{"NAQPCW", "ARRLSSCW", "FD"}))
        << "a lookup leaves no filter behind for the next";
}

TEST_F(MappingWorkbookTest, LoggerContestIsAcceptedOnlyWithARowWhoseHistoryIsOne) {
    MappingWorkbook mapping = workbook(
        "NAQPCW,1,NAQP,Call,,,,,,,Call,,,,Name,,\n"
        "CQWWCW,0,DX,Call,,,,,,,Call,,,,,,\n"
        "IARU,2,DX,Call,,,,,,,Call,,,,,,\n"
        "DUP,0,DX,Call,,,,,,,Call,,,,,,\n"
        "DUP,1,DX,Call,,,,,,,Call,,,,,,\n");

    EXPECT_NO_THROW(mapping.requireImportableLoggerContest("NAQPCW"));
    EXPECT_NO_THROW(mapping.requireImportableLoggerContest("naqpcw")) << "the workbook's lookups ignore letter case";
    for (const char* contest : {"CQWWCW", "IARU"})
        EXPECT_THAT([&] { mapping.requireImportableLoggerContest(contest); },
                    ThrowsMessage<ContestNotImportable>(StrEq(kNotSupported)))
            << contest;
    EXPECT_THAT([&] { mapping.requireImportableLoggerContest("WFD"); },
                ThrowsMessage<ContestNotImportable>(StrEq(kNoMapping)));
    EXPECT_THAT([&] { mapping.requireImportableLoggerContest("DUP"); },
                ThrowsMessage<ContestNotImportable>(StrEq(kNotSupported)))
        << "the first row of a contest decides";

    EXPECT_TRUE(mapping.isLoggerContestListed("NAQPCW"));
    EXPECT_TRUE(mapping.isLoggerContestListed("naqpcw"));
    EXPECT_FALSE(mapping.isLoggerContestListed("CQWWCW")) << "its only row has History 0";
    EXPECT_FALSE(mapping.isLoggerContestListed("IARU"));
    EXPECT_FALSE(mapping.isLoggerContestListed("WFD"));
    EXPECT_TRUE(mapping.isLoggerContestListed("DUP")) << "any of its rows with History 1 lists it";
}

TEST_F(MappingWorkbookTest, FieldMapTakesTheFilledCellsInColumnOrderWithCallOrField1AsKey) {
    MappingWorkbook mapping = workbook(
        "ARRLSSCW,1,SS,Call,Sect,State,Ck,UserText,,,Call,Ck,Sect,,,,\n"
        "CWOPS,1,CWOPS,,Name,Exch1,,,,,,,,Exch1,Name,,\n"
        "BLANK,1,BLANK,,,,,,,,,,,,,,\n"
        "NAQPOLD,0,NAQP,Call,State,,,,,,Call,,,,,,\n"
        "NAQPCW,1,NAQP,Call,Name,State,UserText,,,,Call,,,State,Name,,\n");

    const ImportMapping sweepstakes = mapping.importMapping(ImportKind::Logger, "arrlsscw");
    EXPECT_EQ(sweepstakes.contest, "ARRLSSCW") << "the contest as the workbook spells it";
    EXPECT_EQ(sweepstakes.fieldMap, fieldMap(AList{"Call", "Call"}, {{"Ck", "Ck"}, {"Sect", "Sect"}}));
    ASSERT_TRUE(sweepstakes.fieldMap.key());
    EXPECT_EQ(*sweepstakes.fieldMap.key(), (AList{"Call", "Call"}));

    const FieldMap keyless = mapping.importMapping(ImportKind::Logger, "CWOPS").fieldMap;
    EXPECT_FALSE(keyless.key()) << "an empty Call cell gives no key; no other column takes its place";
    EXPECT_EQ(keyless.values(), (std::vector<AList>{{"Exchange1", "Exch1"}, {"Name", "Name"}}));
    EXPECT_FALSE(keyless.isEmpty());
    EXPECT_FALSE(mapping.importMapping(ImportKind::HistoryFile, "CWOPS").fieldMap.key()) << "an empty field1 cell";

    EXPECT_TRUE(mapping.importMapping(ImportKind::Logger, "BLANK").fieldMap.isEmpty());
    EXPECT_EQ(mapping.importMapping(ImportKind::HistoryFile, "SS").fieldMap,
              fieldMap(AList{"field1", "Call"},
                       {{"field2", "Sect"}, {"field3", "State"}, {"field4", "Ck"}, {"field5", "UserText"}}));
    const ImportMapping naqp = mapping.importMapping(ImportKind::HistoryFile, "NAQP");
    EXPECT_EQ(naqp.fieldMap, fieldMap(AList{"field1", "Call"}, {{"field2", "State"}}))
        << "the first row of a contest type is used, whatever its History";
    EXPECT_EQ(naqp.contest, "NAQP");
    EXPECT_THAT([&] { mapping.importMapping(ImportKind::Logger, "WFD"); },
                ThrowsMessage<std::runtime_error>(
                    StrEq("The mapping workbook has no ImportMapping row whose Contest is \"WFD\"")))
        << "a contest the workbook lacks must not borrow another contest's columns";
    EXPECT_THAT([&] { mapping.importMapping(ImportKind::HistoryFile, "SSCW"); },
                ThrowsMessage<std::runtime_error>(
                    StrEq("The mapping workbook has no ImportMapping row whose Contest_general is \"SSCW\"")));
}

TEST_F(MappingWorkbookTest, ExportColumnsAreTheEightCellsOfTheContestsFirstRow) {
    MappingWorkbook mapping = workbook("X,1,X,Call,,,,,,,Call,,,,,,\n",
                                       "NAQPCW,1,Call,Name,,,,State,,\n"
                                       "ARRLSSCW,1,Call,,,,Sect,,Ck,\n"
                                       "ARRLSSCW,1,Call,Name,,,,,,\n");

    const ExportMapping sweepstakes = mapping.exportMapping("arrlsscw");
    EXPECT_EQ(sweepstakes.contest, "ARRLSSCW");
    EXPECT_EQ(sweepstakes.columns, (ExportColumns{"Call", "", "", "", "Sect", "", "Ck", ""}));
    EXPECT_EQ(mapping.exportMapping("NAQPCW").columns, (ExportColumns{"Call", "Name", "", "", "", "State", "", ""}));
    EXPECT_THAT([&] { mapping.exportMapping("FD"); },
                ThrowsMessage<std::runtime_error>(
                    StrEq("The mapping workbook has no ExportMapping row whose Contest is \"FD\"")));
}

TEST_F(MappingWorkbookTest, FurtherHeadersNamingDxlogColumnsAreLoggerSourcesAndField9To14ExportPositions) {
    const std::string path = files.file("further.xls");
    writeWorkbook(path,
                  "Contest,History,Contest_general,Field1,field2,field3,field4,field5,field6,field7,"
                  "Call,Ck,Sect,Exchange1,Name,Gridsquare,nr,Notes,zn,Power,MiscText\n"
                  "CQWWCW,1,CQWW,Call,CqZone,,,,,,Call,,,,,,,Remarks,CqZone,,\n"
                  "ARRLDXCW,1,ARRLDX,Call,Name,,,,,,Call,,State,,Name,,,,,Power,Misc\n",
                  "Contest,History,field1,field2,field3,field4,field5,field6,field7,field8,field9,field10,"
                  "field11,field12,field13,field14\n"
                  "CQWWCW,1,Call,,,,,,,,,,,CqZone,,UserText\n");
    MappingWorkbook mapping(path);
    EXPECT_EQ(mapping.importMapping(ImportKind::Logger, "CQWWCW").fieldMap,
              fieldMap(AList{"Call", "Call"}, {{"zn", "CqZone"}}))
        << "Notes is no DXLOG column: not read from the log";
    EXPECT_EQ(mapping.importMapping(ImportKind::Logger, "ARRLDXCW").fieldMap,
              fieldMap(AList{"Call", "Call"},
                       {{"Sect", "State"}, {"Name", "Name"}, {"Power", "Power"}, {"MiscText", "Misc"}}));
    EXPECT_EQ(mapping.importMapping(ImportKind::HistoryFile, "CQWW").fieldMap,
              fieldMap(AList{"field1", "Call"}, {{"field2", "CqZone"}}))
        << "a call-history file has no DXLOG columns";

    ExportColumns zones{};
    zones[0] = "Call";
    zones[11] = "CqZone";
    zones[13] = "UserText";
    EXPECT_EQ(mapping.exportMapping("CQWWCW").columns, zones);
}

TEST_F(MappingWorkbookTest, TheShippedWorkbookServesTheContestsWithTheirLoggersFields) {
    MappingWorkbook shipped(files.file("mapping.xls"));
    const auto exported = [&](const std::string& contest) {
        std::vector<std::string> named;
        const ExportColumns columns = shipped.exportMapping(contest).columns;
        for (std::size_t k = 0; k < columns.size(); ++k)
            if (!columns[k].empty()) named.push_back(std::string(kLoggerFieldNames[k]) + "=" + columns[k]);
        return named;
    };
    using Names = std::vector<std::string>;
    EXPECT_EQ(exported("CQWWCW"), (Names{"Call=Call", "CqZone=CqZone", "UserText=UserText"}));
    EXPECT_EQ(exported("ARRLDXSSB"),
              (Names{"Call=Call", "Name=Name", "State=State", "Power=Power", "UserText=UserText"}));
    EXPECT_EQ(exported("SSCW"), (Names{"Call=Call", "Sect=Sect", "State=State", "CK=Ck", "UserText=UserText"}));
    EXPECT_EQ(exported("CWOPS"), (Names{"Call=Call", "Name=Name", "Exch1=Exch1", "UserText=UserText"}));
    EXPECT_EQ(exported("FD"), (Names{"Call=Call", "Sect=Sect", "Exch1=data2", "UserText=UserText"}));
    EXPECT_EQ(exported("STEWPERRY"), (Names{"Call=Call", "Loc1=Loc1", "UserText=UserText"}));

    EXPECT_EQ(shipped.importMapping(ImportKind::Logger, "CQWWSSB").fieldMap,
              fieldMap(AList{"Call", "Call"}, {{"ZN", "CqZone"}}));
    EXPECT_EQ(shipped.importMapping(ImportKind::Logger, "ARRLDXCW").fieldMap,
              fieldMap(AList{"Call", "Call"}, {{"Sect", "State"}, {"Name", "Name"}, {"Power", "Power"}}));
    EXPECT_EQ(shipped.importMapping(ImportKind::Logger, "SSCW").fieldMap,
              fieldMap(AList{"Call", "Call"}, {{"Ck", "Ck"}, {"Sect", "Sect"}}));
    for (const char* contest : {"CQWWCW", "CQWWRTTY", "IARU", "ARRLDXCW", "CWOPS", "FD", "WFD", "SSSSB", "NAQPSSB",
                                "SPRINTCW", "QSOPARTY", "ARRLVHFJUN", "STEWPERRY"})
        EXPECT_TRUE(shipped.isLoggerContestListed(contest)) << contest;
    EXPECT_FALSE(shipped.isLoggerContestListed("CQWPXCW")) << "a serial number is nothing to remember";
}

TEST_F(MappingWorkbookTest, AMissingSheetOrColumnIsTheProvidersOrTheCursorsError) {
    MappingWorkbook importOnly = workbook("NAQPCW,1,NAQP,Call,,,,,,,Call,,,,,,\n");
    EXPECT_THAT([&] { importOnly.exportContests(); },
                ThrowsMessage<std::runtime_error>(HasSubstr("has no sheet ExportMapping")));
    EXPECT_EQ(importOnly.historyFileContestTypes(), std::vector<std::string>{"NAQP"})
        << "a failed lookup leaves the workbook usable";

    const std::string path = files.file("short.xls");
    writeWorkbook(path, kImportHeader + std::string("NAQPCW,1,NAQP,Call,,,,,,,Call,,,,,,\n"),
                  "Contest,History,field1,field2,field3,field4,field5,field6,field7\nNAQPCW,1,Call,,,,,,\n");
    MappingWorkbook shortSheet(path);
    EXPECT_THAT([&] { shortSheet.exportMapping("NAQPCW"); },
                ThrowsMessage<std::runtime_error>(StrEq("ADODataSet_Mapping: Field 'field8' not found")));

    MappingWorkbook missing(files.file("no such.xls"));
    EXPECT_THAT([&] { missing.exportContests(); },
                ThrowsMessage<std::runtime_error>(HasSubstr(files.file("no such.xls"))));
}
