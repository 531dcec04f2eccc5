#pragma once
// A program directory of the test's own, in the system's temporary folder, removed when the
// test ends, so that each test can give the operations the files it wants beside the program.

#include <filesystem>
#include <string>

namespace kv::ui::testing {

class ProgramDirectory {
public:
    // With or without a mapping.xls (only its existence matters at start-up).
    explicit ProgramDirectory(bool withMapping);
    ~ProgramDirectory();
    ProgramDirectory(const ProgramDirectory&) = delete;
    ProgramDirectory& operator=(const ProgramDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The form the program hands to its operations: with a trailing separator.
    std::string withSeparator() const { return path_.string() + "/"; }

private:
    std::filesystem::path path_;
};

}  // namespace kv::ui::testing
