// What kestrovane-cli tells on standard error while a subcommand runs.
#include "cli/report.h"

#include <gtest/gtest.h>

#include <sstream>

using kv::cli::Report;

TEST(CliReport, TellsQuestionsWithTheirAnswerAndStatusesOnLinesOfTheirOwn) {
    std::ostringstream err;
    Report report(err, false);
    EXPECT_TRUE(report.confirmed("Are you sure ?", "--yes", true));
    EXPECT_FALSE(report.confirmed("Replace it?", "--replace", false));
    report.status("IMPORT finished");
    // Without a terminal the rows are not told.
    report.progress().rowsDone(0, 10);
    report.progress().rowsDone(10, 10);
    EXPECT_EQ(err.str(),
              "Are you sure ?\nAnswered Yes (--yes)\nReplace it?\nAnswered No; --replace answers Yes\n"
              "status: IMPORT finished\n");
}

TEST(CliReport, OnATerminalRewritesOnePercentageLineThatEndsBeforeTheNextText) {
    std::ostringstream err;
    Report report(err, true);
    const kv::history_db::Progress progress = report.progress();
    progress.tell("Database backup created, IMPORT started");
    progress.rowsDone(0, 300);
    for (long long done = 1; done <= 300; ++done) progress.rowsDone(done, 300);
    progress.tell("IMPORT finished");

    std::string expected = "status: Database backup created, IMPORT started\n";
    for (int percent = 0; percent <= 100; ++percent) expected += "\rprogress: " + std::to_string(percent) + "%";
    expected += "\nstatus: IMPORT finished\n";
    EXPECT_EQ(err.str(), expected);

    // A walk of no rows is done at once.
    std::ostringstream empty;
    Report emptyReport(empty, true);
    emptyReport.progress().rowsDone(0, 0);
    emptyReport.line("done");
    EXPECT_EQ(empty.str(), "\rprogress: 100%\ndone\n");
}
