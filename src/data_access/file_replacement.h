#pragma once
// A file written whole beside the file it replaces and put in that file's place in one step, once
// it is complete and on disk: the target always holds either its old content or the whole new
// one, and a write that fails leaves it as it was. The new file is made under a name no other
// program can guess or take first, never through a symlink planted there; a target that is a
// symlink stays one, and the file it names is replaced.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kv::data_access {

// A failure of the file system, with the system's error code (errno) beside the message.
class FileError : public std::runtime_error {
public:
    FileError(const std::string& message, int code) : std::runtime_error(message), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

class FileReplacement {
public:
    // Creates the new file beside `target`, with `permissions` when given, else with those of the
    // file it replaces, or those of any new file when there is none. Throws FileError when it
    // cannot be created.
    explicit FileReplacement(std::string target, std::optional<unsigned> permissions = std::nullopt);
    // The permission bits of the file at `path`, none when there is no file.
    static std::optional<unsigned> permissionsOf(const std::string& path);
    // Removes the new file unless it was committed.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Appends to the new file. Throws FileError.
    void write(std::string_view bytes);
    // Syncs the new file and moves it over the target. Throws FileError; the target is then as
    // it was and the new file is gone.
    void commit();

private:
    void discard() noexcept;

    std::string target_;
    std::string realTarget_;  // symlinks resolved
    std::string partial_;
    int fd_ = -1;
    unsigned long long written_ = 0;
    bool committed_ = false;
};

}  // namespace kv::data_access
