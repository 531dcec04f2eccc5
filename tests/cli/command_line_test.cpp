// kestrovane-cli's command line: help on standard output, and usage errors that run nothing.
#include "cli_test_support.h"

#include <algorithm>
#include <filesystem>

using namespace kv::cli::testing;
namespace fs = std::filesystem;

namespace {

const char* const kSubcommands[] = {"new", "check", "empty", "compact", "count", "contests", "import-logs"};

}  // namespace

using CliCommandLine = CliTest;

TEST_F(CliCommandLine, UsageErrorsExitWithTwoAndAUsageLineAndRunNothing) {
    const std::string database = file("h.mdb");
    const struct {
        std::vector<std::string> arguments;
        std::string problem;
    } cases[] = {
        {{}, "no subcommand given"},
        {{"create"}, "unknown subcommand \"create\""},
        {{"--history", database}, "no subcommand given"},
        {{"new"}, "new needs --history FILE"},
        {{"count", "--history"}, "--history needs a value (FILE)"},
        {{"--history", database, "new", "--yes"}, "new has no option --yes"},
        {{"--replace", "--history", database, "new"}, "unknown option --replace"},
        {{"--history", database, "empty", "--yes=1"}, "--yes takes no value"},
        {{"--history", database, "--history", database, "new"}, "--history is given twice"},
        {{"--history", database, "new", "extra"}, "unexpected argument \"extra\""},
    };
    for (const auto& [arguments, problem] : cases) {
        auto run = cli(arguments);
        const std::string said = ::testing::PrintToString(arguments);
        EXPECT_EQ(run.status, 2) << said;
        EXPECT_EQ(run.out, "") << said;
        EXPECT_TRUE(run.err.starts_with("kestrovane-cli: " + problem + "\nUsage: kestrovane-cli ")) << said << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2) << said << run.err;
    }
    EXPECT_FALSE(fs::exists(database));
}

TEST_F(CliCommandLine, HelpListsEverySubcommandOptionAndExitStatus) {
    auto run = cli({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    for (const char* subcommand : kSubcommands)
        EXPECT_NE(run.out.find("\n  " + std::string(subcommand) + " "), std::string::npos) << subcommand;
    for (const char* text : {"--history FILE", "--mapping FILE", "Exit status:", "\n  0  ", "\n  1  ", "\n  2  "})
        EXPECT_NE(run.out.find(text), std::string::npos) << text;
}

TEST_F(CliCommandLine, EachSubcommandHasItsHelpWithoutNeedingItsOptions) {
    for (const char* subcommand : kSubcommands) {
        auto run = cli({subcommand, "--help"});
        EXPECT_EQ(run.status, 0) << subcommand;
        EXPECT_EQ(run.err, "") << subcommand;
        const std::string usage = run.out.substr(0, run.out.find('\n'));
        EXPECT_TRUE(usage.starts_with("Usage: kestrovane-cli ")) << run.out;
        EXPECT_NE(usage.find(std::string(" ") + subcommand), std::string::npos) << usage;
        EXPECT_NE(run.out.find("Exit status:"), std::string::npos) << subcommand;
    }
    EXPECT_NE(cli({"new", "--help"}).out.find("--replace"), std::string::npos);
    EXPECT_NE(cli({"empty", "--help"}).out.find("--yes"), std::string::npos);
}
