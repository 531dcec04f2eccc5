#include "cli_process.h"

#include "../jetwrite/scratch_file.h"
#include "operation_files.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>
#include <string_view>

extern char** environ;

namespace kv::cli::testing {

std::string builtCli() { return KV_PROGRAM_DIR "/kestrovane-cli"; }

namespace {

std::vector<char*> environmentWith(const std::vector<std::string>& settings) {
    std::vector<char*> variables;
    for (char** variable = environ; *variable; ++variable) {
        const std::string_view name(*variable, std::string_view(*variable).find('='));
        const bool replaced = std::any_of(settings.begin(), settings.end(), [&](const std::string& setting) {
            return setting.size() > name.size() && setting.starts_with(name) && setting[name.size()] == '=';
        });
        if (!replaced) variables.push_back(*variable);
    }
    for (const std::string& setting : settings) variables.push_back(const_cast<char*>(setting.c_str()));
    variables.push_back(nullptr);
    return variables;
}

}  // namespace

CliRun runCli(const std::vector<std::string>& arguments, const std::string& workingDirectory,
              const std::string& executable, const std::vector<std::string>& environment) {
    // The streams go to files rather than pipes, so that a full pipe can never stall the child.
    const kv::jet::testing::ScratchFolder streams;
    const std::string out = (streams.path() / "out").string();
    const std::string err = (streams.path() / "err").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());

    std::vector<char*> argv{const_cast<char*>(executable.c_str())};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t child = 0;
    std::vector<char*> variables = environmentWith(environment);
    const int failure = posix_spawn(&child, executable.c_str(), &actions, nullptr, argv.data(), variables.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failure != 0) throw std::runtime_error("cannot start " + executable);

    int status = 0;
    waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, kv::testing::fileBytes(out), kv::testing::fileBytes(err)};
}

}  // namespace kv::cli::testing
