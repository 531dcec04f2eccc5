#pragma once
// Helpers for tests that look at files through command-line tools.

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "jet/format.h"

namespace kv::jet::testing {

inline std::vector<std::uint8_t> pageOf(const std::string& path, std::uint32_t page) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(format::kPageSize);
    in.seekg(static_cast<std::streamoff>(page) * static_cast<std::streamoff>(format::kPageSize));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

// mdb-schema's output without its banner comments and blank lines.
inline std::string withoutComments(const std::string& schema) {
    std::string out;
    for (const auto& line : lines(schema))
        if (!line.empty() && !line.starts_with("--")) out += line + "\n";
    return out;
}

struct Outcome {
    int status = -1;
    std::string output;  // standard output and standard error together
};

// Runs a shell command and returns its exit status and everything it printed.
inline Outcome runWithStatus(const std::string& command) {
    Outcome outcome;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return outcome;
    char buffer[65536];
    while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) outcome.output.append(buffer, n);
    int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

}  // namespace kv::jet::testing
