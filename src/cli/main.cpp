// kestrovane-cli: the operations of Kestrovane History Manager for scripts and servers.
#include "cli/run.h"

#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    // The program directory is where the executable really is, as for the window.
    const std::string programDirectory = std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/";
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return kv::cli::run(arguments, programDirectory, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
}
