#pragma once
// What every kestrovane-cli test has: a folder of its own to run in and keep its files in, the
// program run there as a process, the files the operations' tests write, and the texts the
// operations show that the runs print.

#include "cli_process.h"
#include "data_access/error_box_text.h"
#include "operation_files.h"
#include "tool_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv::cli::testing {

using kv::testing::fileBytes;
using kv::testing::quoted;
using kv::testing::writeHistoryDatabase;
using kv::testing::writeWorkbook;

inline const std::string kOpenedStatus =
    "status: Kestrovane databases opened, importing or exporting history enabled\n";
inline const std::string kNotHistoryDatabase = "Selected database file not a valid History/Kestrovane database\n";

// What the window's standard error box shows for an error, as one line.
inline std::string errorLine(const std::string& message) { return kv::data_access::errorBoxText(message) + "\n"; }

class CliTest : public ::testing::Test {
protected:
    // A file of this test's folder.
    std::string file(const std::string& name) const { return folder_.file(name); }
    const std::filesystem::path& folder() const { return folder_.path(); }

    CliRun cli(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {}) const {
        return runCli(arguments, folder_.path().string(), builtCli(), environment);
    }

private:
    // It holds copies of mapping.xls and the template too, for a test that runs its own copy of
    // the program there.
    kv::testing::ProgramFiles folder_;
};

// CSV rows for the History table: `count` stations with a name and a zone each.
inline std::string historyRows(int count) {
    std::string csv = "Call,Name,data2\n";
    for (int i = 0; i < count; ++i)
        csv += "W" + std::to_string(i) + "XYZ,Op " + std::to_string(i) + "," + std::to_string(i % 40) + "\n";
    return csv;
}

// The output of a command-line tool that must succeed.
inline std::string toolOutput(const std::string& command) {
    const auto outcome = kv::jet::testing::runWithStatus(command);
    EXPECT_EQ(outcome.status, 0) << command << ": " << outcome.output;
    return outcome.output;
}

}  // namespace kv::cli::testing
