// kestrovane-cli on databases with one zeroed data page: count, export, compact and both imports
// exit with 1 and the engine's report, which names the file and the table, instead of answering
// from the rows that are left; every file stays as it was and compact leaves no copy behind.
#include "cli_test_support.h"

#include <filesystem>
#include <set>

using namespace kv::cli::testing;
namespace fs = std::filesystem;

namespace {

const std::string kExamples = std::string(KV_PROGRAM_DIR) + "/examples/";
const std::string kLoggerExample = kExamples + "logger_example.mdb";

std::set<fs::path> filesIn(const fs::path& folder) {
    std::set<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) files.insert(entry.path());
    return files;
}

}  // namespace

class CliDamagedDatabase : public CliTest {
protected:
    void SetUp() override {
        writeHistoryDatabase(database, historyRows(kRows));
        report = kv::testing::blankDataPage(database, "History");
        before = fileBytes(database);
    }

    // Expects the run refused with the report and the History database untouched.
    void expectRefused(const CliRun& run, const std::string& expectedReport, const std::string& what) {
        EXPECT_EQ(run.status, 1) << what;
        EXPECT_EQ(run.out, "") << what;
        EXPECT_NE(run.err.find(expectedReport), std::string::npos) << what << ": " << run.err;
        EXPECT_EQ(fileBytes(database), before) << what;
    }

    // Stations enough for dozens of data pages and an index of more than one level.
    static constexpr int kRows = 20000;
    const std::string database = file("history.mdb");
    std::string report;
    std::string before;
};

TEST_F(CliDamagedDatabase, CountAndExportReportTheDamageInsteadOfWhatIsLeft) {
    ASSERT_NE(report.find(" is damaged: table History lists page "), std::string::npos) << report;
    expectRefused(cli({"--history", database, "count"}), report, "count");

    const std::string target = file("NAQPCW.txt");
    expectRefused(cli({"--history", database, "export", "NAQPCW", "--to", target}), report, "export");
    EXPECT_FALSE(fs::exists(target));
}

TEST_F(CliDamagedDatabase, CompactRefusesAndWritesNothing) {
    const std::set<fs::path> files = filesIn(folder());
    auto run = cli({"--history", database, "compact"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(report), std::string::npos) << run.err;
    EXPECT_EQ(fileBytes(database), before);
    EXPECT_EQ(filesIn(folder()), files) << "no compacted copy is left";
}

TEST_F(CliDamagedDatabase, ImportsIntoADamagedHistoryOrFromADamagedLogStopAndChangeNothing) {
    expectRefused(cli({"--history", database, "import-file", kExamples + "callhistory_NAQP.txt", "--type", "NAQP"}),
                  report, "import-file");
    expectRefused(cli({"--history", database, "import-log", kLoggerExample, "--contest", "NAQPCW"}), report,
                  "import-log into a damaged History");

    // A sound History, a log whose QSO table lost a page.
    const std::string sound = file("sound.mdb");
    ASSERT_EQ(cli({"--history", sound, "new"}).status, 0);
    const std::string soundBefore = fileBytes(sound);
    const std::string log = file("log.mdb");
    fs::copy_file(kLoggerExample, log);
    const std::string logReport = kv::testing::blankDataPage(log, "DXLOG");
    const std::string logBefore = fileBytes(log);
    auto run = cli({"--history", sound, "import-log", log, "--contest", "NAQPCW"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(logReport), std::string::npos) << run.err;
    EXPECT_EQ(fileBytes(sound), soundBefore);
    EXPECT_EQ(fileBytes(log), logBefore);
}
