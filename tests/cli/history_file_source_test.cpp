// kestrovane-cli import-file on call-history files as users have them: rows without a call, files
// in another encoding or with another separator, what is no file, an absurdly wide line, and
// imports running at once. The working copy is the run's own and gone when it ends.
#include "cli_test_support.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

using namespace kv::cli::testing;
namespace fs = std::filesystem;

namespace {

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

}  // namespace

class CliHistoryFile : public CliTest {
protected:
    void SetUp() override {
        fs::create_directory(temporary);
        ASSERT_EQ(cli({"--history", database, "new"}).status, 0);
    }

    std::string writeFile(const std::string& name, const std::string& bytes) const {
        std::ofstream(file(name), std::ios::binary) << bytes;
        return file(name);
    }
    CliRun importFile(const std::string& source, const std::string& into) const {
        return cli({"--history", into, "import-file", source, "--type", "NAQP"}, {"TMPDIR=" + temporary});
    }
    std::string calls(const std::string& into) const {
        return toolOutput("mdb-export -H " + quoted(into) + " History | cut -d, -f1 | sort");
    }

    const std::string database = file("calls.mdb");
    const std::string temporary = file("temporary");
};

TEST_F(CliHistoryFile, RowsWithoutACallAreSkippedAndTheSummarySaysHowMany) {
    const std::string source = writeFile("naqp.txt",
                                         "!!Order!!,Call,Name,State,UserText\r\n"
                                         "K1ABC,JOHN,MA,\r\n"
                                         ",ANN,ON,\r\n"
                                         "  ,BOB,TX,\r\n"
                                         "W1AW,HIRAM,CT,\r\n");
    const CliRun run = importFile(source, database);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "read 4, inserted 2, updated 0, unchanged 0, skipped 2 without a call\n");
    EXPECT_EQ(calls(database), "\"K1ABC\"\n\"W1AW\"\n");

    const CliRun again = importFile(writeFile("two.txt", "Call,Name,State,UserText\nK1ABC,JOHN,,\n"), database);
    EXPECT_EQ(again.out, "read 1, inserted 0, updated 0, unchanged 1\n") << "no skipped rows, nothing said of them";
}

TEST_F(CliHistoryFile, WhatIsNoCommaSeparatedCallHistoryTextIsRefusedSayingWhy) {
    std::string unicode = "\xFF\xFE";
    for (char c : std::string("!!Order!!,Call,Name\r\nK1ABC,JOHN\r\n")) unicode += std::string{c, '\0'};
    const std::string utf16 = writeFile("unicode.txt", unicode);
    const std::string semicolons = writeFile("semicolons.txt", "!!Order!!;Call;Name\r\nK1ABC;JOHN\r\n");
    const std::string wide = writeFile("wide.txt", "Call,Name\nW1AW," + std::string(10'000'000, ',') + "\n");
    const std::string before = fileBytes(database);
    for (const auto& [source, message] : std::vector<std::pair<std::string, std::string>>{
             {utf16, utf16 + " is UTF-16 text: save it as UTF-8 or ANSI"},
             {semicolons, semicolons + " uses semicolons to separate its fields; save it with commas"},
             {"/dev/zero", "/dev/zero is a device; choose a call-history text file"},
             {wide, wide + ": line 2 is too wide to read (more than 64 fields)"}}) {
        const CliRun run = importFile(source, database);
        EXPECT_EQ(run.status, 1) << source;
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(errorLine(message)), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("kestrovane_temp_history"), std::string::npos) << run.err;
        EXPECT_TRUE(fs::is_empty(temporary)) << source;
    }
    EXPECT_EQ(fileBytes(database), before);
}

TEST_F(CliHistoryFile, TheCopyIsMadeWhereTmpdirSaysAndTheProgramDirectoryIsNeverWritten) {
    // A copy of the program in a folder of its own, so that every file there can be watched.
    const fs::path program = folder() / "program";
    fs::create_directory(program);
    for (const char* name : {"mapping.xls", "kestrovane_mdb.template"}) fs::copy_file(file(name), program / name);
    fs::copy_file(builtCli(), program / "kestrovane-cli");
    const std::set<std::string> shipped = namesIn(program);
    const std::string source = writeFile("naqp.txt", "Call,Name,State,UserText\nK1ABC,JOHN,MA,\n");
    const std::vector<std::string> import{"--history", database, "import-file", source, "--type", "NAQP"};

    const CliRun run =
        runCli(import, folder().string(), (program / "kestrovane-cli").string(), {"TMPDIR=" + temporary});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "read 1, inserted 1, updated 0, unchanged 0\n");
    EXPECT_EQ(namesIn(program), shipped);
    EXPECT_TRUE(fs::is_empty(temporary)) << "the run's copy goes with it";

    const std::string nowhere = file("no such folder");
    const CliRun refused =
        runCli(import, folder().string(), (program / "kestrovane-cli").string(), {"TMPDIR=" + nowhere});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("Cannot copy " + source + ": "), std::string::npos) << refused.err;
    EXPECT_EQ(namesIn(program), shipped);
}

TEST_F(CliHistoryFile, TwoImportsAtOnceEachReadTheirOwnFile) {
    const std::string other = file("other.mdb");
    ASSERT_EQ(cli({"--history", other, "new"}).status, 0);
    auto stations = [](char prefix) {
        std::string text = "Call,Name,State,UserText\n";
        for (int i = 0; i < 3000; ++i) text += prefix + std::to_string(i) + "X,OP,MA,\n";
        return text;
    };
    const std::string first = writeFile("first.txt", stations('K')), second = writeFile("second.txt", stations('W'));

    CliRun firstRun, secondRun;
    std::thread a([&] { firstRun = importFile(first, database); });
    std::thread b([&] { secondRun = importFile(second, other); });
    a.join();
    b.join();
    for (const CliRun* run : {&firstRun, &secondRun}) {
        EXPECT_EQ(run->status, 0) << run->err;
        EXPECT_EQ(run->out, "read 3000, inserted 3000, updated 0, unchanged 0\n");
    }
    for (const auto& [history, prefix] :
         std::vector<std::pair<std::string, std::string>>{{database, "\"K"}, {other, "\"W"}}) {
        std::istringstream lines(calls(history));
        int count = 0;
        for (std::string line; std::getline(lines, line); ++count) EXPECT_TRUE(line.starts_with(prefix)) << line;
        EXPECT_EQ(count, 3000) << history;
    }
    EXPECT_TRUE(fs::is_empty(temporary));
}

TEST_F(CliHistoryFile, WithoutATypeTheFileIsReadByItsOrderAndTheSummaryTellsWhatWasDropped) {
    const std::string source = writeFile("cqww.txt",
                                         "\n# CQ WW, two sections\n"
                                         "!!Order!!,Call,CQZone,Sponsor,UserText\r\n"
                                         "DL1ABC,14,," +
                                             std::string(300, 'x') +
                                             "\r\n"
                                             "!!Order!!;Call;Name;;State\r\n"
                                             "K1ABC ; JOHN ; 1 ; MA ; extra\r\n");
    const CliRun run = cli({"--history", database, "import-file", source});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "read 2, inserted 2, updated 0, unchanged 0, cut 1 value to fit, ignored 1 extra value, skipped fields "
              "Sponsor\n");
    EXPECT_NE(run.err.find("1 value was longer than its History column holds and was cut to fit (UserText); the "
                           "first at line 4, call DL1ABC."),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("Fields with no History column were skipped: Sponsor."), std::string::npos) << run.err;
    const std::string rows = "mdb-export -H " + quoted(database) + " History | grep ";
    EXPECT_EQ(toolOutput(rows + "DL1ABC | cut -d, -f9,15"), "\"" + std::string(255, 'x') + "\",\"14\"\n");
    EXPECT_EQ(toolOutput(rows + "K1ABC | cut -d, -f2,4"), "\"JOHN\",\"MA\"\n");

    const std::string noCall = writeFile("nocall.txt", "!!Order!!,Name,State\nJOHN,MA\n");
    const CliRun refused = cli({"--history", database, "import-file", noCall});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find(noCall + ", line 1: the !!Order!! line names no Call field"), std::string::npos)
        << refused.err;
}

TEST_F(CliHistoryFile, AContestTypeThatDisagreesWithTheFilesOrderIsRefusedUnlessForced) {
    const std::string source = writeFile("fd.txt", "!!Order!!,Call,Exch1,Sect\nW1AW,2A,CT\n");
    const CliRun refused = cli({"--history", database, "import-file", source, "--type", "FD"}, {"TMPDIR=" + temporary});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find(source + ", line 1: its !!Order!! is Call,Exch1,Sect, but the contest type FD reads "
                                        "Call,data2,Sect,UserText; --force imports it as FD all the same"),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(calls(database), "");
    EXPECT_FALSE(fs::exists(database + ".bup")) << "refused before the run began";

    const CliRun forced =
        cli({"--history", database, "import-file", source, "--type", "FD", "--force"}, {"TMPDIR=" + temporary});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(forced.out, "read 1, inserted 1, updated 0, unchanged 0\n");
    EXPECT_EQ(calls(database), "\"W1AW\"\n");
}
