// kestrovane-cli contests: the export contests and history-file contest types of a mapping
// workbook, compared with the same workbook read by xlrd, an independent reader.
#include "cli_test_support.h"

using namespace kv::cli::testing;

namespace {

std::string readByXlrd(const std::string& workbook) {
    return toolOutput(std::string(KV_PYTHON) + " " + KV_CLI_TESTS_DIR "/workbook_contests.py " + quoted(workbook));
}

}  // namespace

using CliContests = CliTest;

TEST_F(CliContests, ListsTheContestsOfTheProgramsWorkbookWithoutAHistoryDatabase) {
    const std::string expected = readByXlrd(KV_PROGRAM_DIR "/mapping.xls");
    ASSERT_NE(expected.find("export\t"), std::string::npos);
    ASSERT_NE(expected.find("history-file\t"), std::string::npos);

    auto run = cli({"contests"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(run.err, "");
}

TEST_F(CliContests, ReadsTheWorkbookThatMappingNames) {
    const std::string workbook = file("own.xls");
    writeWorkbook(workbook, "Contest,History,Contest_general\nLOCALCW,1,LOCAL\nLOCALSSB,0,LOCAL\nRALLY,1,RALLY\n",
                  "Contest,History\nLOCAL,1\nHIDDEN,0\nRALLY,1\n");
    const std::string expected = readByXlrd(workbook);
    ASSERT_NE(expected, readByXlrd(KV_PROGRAM_DIR "/mapping.xls"));

    auto run = cli({"--mapping", workbook, "contests"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, expected);
}

TEST_F(CliContests, FailsWithTheErrorBoxTextWhenTheWorkbookIsMissing) {
    const std::string workbook = file("missing.xls");
    auto run = cli({"contests", "--mapping", workbook});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, errorLine("File " + workbook + " not found"));
}
