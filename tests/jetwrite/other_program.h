#pragma once
// Another program working on the same files as the test: a child process that runs a piece of
// the test's code and tells the test when it has got to the point the test waits for.

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <stdexcept>

namespace kv::jet::testing {

class OtherProgram {
public:
    using Ready = std::function<void()>;

    // Starts `work` in a child process and returns once it has called its `ready`. The child exits
    // with 0 when `work` returns and with 2 when it throws.
    explicit OtherProgram(const std::function<void(const Ready& ready)>& work) {
        int channel[2];
        if (pipe(channel) != 0) throw std::runtime_error("cannot make a pipe");
        pid_ = fork();
        if (pid_ < 0) throw std::runtime_error("cannot start a process");
        if (pid_ == 0) {
            ::close(channel[0]);
            int status = 0;
            try {
                work([&] {
                    char signal = 1;
                    if (write(channel[1], &signal, 1) != 1) _exit(3);
                });
            } catch (...) {
                status = 2;
            }
            _exit(status);
        }
        ::close(channel[1]);
        char signal = 0;
        ssize_t got = read(channel[0], &signal, 1);
        ::close(channel[0]);
        if (got != 1) {
            exitStatus();
            throw std::runtime_error("the other program ended before it was ready");
        }
    }
    ~OtherProgram() {
        if (pid_ > 0) exitStatus();
    }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    // Waits for the child to end; -1 when it did not exit normally.
    int exitStatus() {
        if (pid_ > 0) {
            int status = 0;
            waitpid(pid_, &status, 0);
            pid_ = -1;
            exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        return exitStatus_;
    }

private:
    pid_t pid_ = -1;
    int exitStatus_ = -1;
};

}  // namespace kv::jet::testing
