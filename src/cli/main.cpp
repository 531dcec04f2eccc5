// kestrovane-cli: the operations of Kestrovane History Manager for scripts and servers.
#include <filesystem>
#include <iostream>
#include <string>

#include "cli/process_host.h"
#include "cli/run.h"

int main(int argc, char* argv[]) {
    // The program directory is where the executable really is, as for the window.
    const std::string programDirectory = std::filesystem::path(kv::cli::executablePath()).parent_path().string() + "/";
    return kv::cli::run(kv::cli::programArguments(argc, argv), programDirectory, std::cout, std::cerr,
                        kv::cli::errorOutputIsTerminal());
}
