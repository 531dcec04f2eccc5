#pragma once
#include <stdexcept>
#include <string>

namespace kv::jet {

// A file that is not a Jet 4 database we can read, or one whose structures are damaged. The message
// is meant for the user: it names the file and what is wrong with it.
class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A table whose pages do not add up: reading it would answer from what is left of it. Its message
// reads "<file> is damaged: table <table> <problem>", the problem saying where (page, row, index).
class DamagedTableError : public FormatError {
public:
    DamagedTableError(const std::string& file, const std::string& table, const std::string& problem)
        : FormatError(file + " is damaged: table " + table + " " + problem) {}
};

}  // namespace kv::jet
