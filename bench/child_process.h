#pragma once
// Work run apart from the benchmark's own process, so that the time and the peak memory measured are
// that work's alone: a function run in a forked child, or another program run to its end.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "bench_clock.h"

namespace kv::bench {

// This process's peak resident memory so far, in MB.
inline double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Runs `work` in a child process and hands back what it returns: the memory it takes then counts
// nothing in this process's peak, and the run that follows finds no heap warmed up by it.
template <typename Work>
auto inChildProcess(Work work) {
    using Result = decltype(work());
    static_assert(std::is_trivially_copyable_v<Result>);
    int channel[2];
    if (pipe(channel) != 0) throw std::runtime_error("cannot create a pipe");
    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("cannot fork");
    if (child == 0) {
        close(channel[0]);
        try {
            const Result result = work();
            _exit(write(channel[1], &result, sizeof result) == sizeof result ? 0 : 1);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "benchmark: %s\n", error.what());
            _exit(1);
        }
    }
    close(channel[1]);
    Result result{};
    const bool received = read(channel[0], &result, sizeof result) == sizeof result;
    close(channel[0]);
    int status = 0;
    if (waitpid(child, &status, 0) != child || !received || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("the child process failed");
    return result;
}

struct ProgramRun {
    double seconds = 0;
    double peak = 0;  // MB, the program's own (wait4's ru_maxrss)
};

// Runs `arguments` (a program's path first) with standard input from `input`, standard output to
// `output` and standard error to `errors` (this process's when empty), and times it from the fork to
// its end. Throws when it fails.
inline ProgramRun runProgram(const std::vector<std::string>& arguments, const std::string& input,
                             const std::string& output = "/dev/null", const std::string& errors = "") {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("cannot fork");
    if (child == 0) {
        const int in = open(input.c_str(), O_RDONLY);
        const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0) _exit(126);
        if (!errors.empty()) {
            const int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (err < 0 || dup2(err, 2) < 0) _exit(126);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) throw std::runtime_error("cannot wait for " + arguments[0]);
    const double seconds = secondsSince(start);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(arguments[0] + " failed (exit status " +
                                 std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + ")" +
                                 (errors.empty() ? "" : ", see " + errors));
    return {seconds, usage.ru_maxrss / 1024.0};
}

}  // namespace kv::bench
