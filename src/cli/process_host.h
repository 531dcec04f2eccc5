#pragma once
// What main() learns from the operating system about the running program: its arguments and
// executable as UTF-8 (on Windows from the wide command line, which holds every name the user
// typed, not only those of the code page), and whether a person watches its error output.

#include <string>
#include <vector>

namespace kv::cli {

std::vector<std::string> programArguments(int argc, char* argv[]);
// The full path of the running program's executable.
std::string executablePath();
bool errorOutputIsTerminal();

}  // namespace kv::cli
