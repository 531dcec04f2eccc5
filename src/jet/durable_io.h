#pragma once
// The file-system calls of a commit. Each failure becomes an IoError whose message names the file and
// the cause in the user's words ("the disk is full"). Every call that changes something on disk first
// passes the step probe: the crash tests use it to stop a writer at a chosen step; the product sets none.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "jet/platform_file.h"

namespace kv::jet::durable_io {

class IoError : public std::runtime_error {
public:
    IoError(const std::string& message, int code) : std::runtime_error(message), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

// Which file an open descriptor or a path stands for (see platform_file.h).
using FileIdentity = platform_file::Identity;

// A newly made file, open for writing.
struct NewFile {
    int fd;
    std::string path;
};

// Opens an existing file for reading and writing; returns the descriptor.
int openForUpdate(const std::string& path);
// Opens an existing file for reading, never through a symlink when `followLinks` is false.
int openForReading(const std::string& path, bool followLinks = true);
// Opens an existing file for writing, never through a symlink.
int openForWriting(const std::string& path);
// Creates a file that must not exist yet, never following a symlink planted at its name. Its
// permissions are `mode` exactly when given; otherwise those of any new file (umask applies).
int createExclusive(const std::string& path, std::optional<unsigned> mode);
// Creates a file in the folder of `target`, under a name no other program can guess or take first,
// so that it can be renamed over `target` when it is whole (see createExclusive for `mode`).
NewFile createBeside(const std::string& target, std::optional<unsigned> mode);
void close(int fd);

void readAt(int fd, const std::string& path, std::span<std::uint8_t> into, std::uint64_t offset);
// The whole file, in one read of its size (see openForReading for `followLinks`).
std::vector<std::uint8_t> readWhole(const std::string& path, bool followLinks = true);
void writeAt(int fd, const std::string& path, std::span<const std::uint8_t> bytes, std::uint64_t offset);
void truncate(int fd, const std::string& path, std::uint64_t length);
void sync(int fd, const std::string& path);
// Makes a file's creation or removal durable.
void syncFolderOf(const std::string& path);
void remove(const std::string& path);
// Puts `from` in the place of `to` in one step and makes the change durable.
void replace(const std::string& from, const std::string& to);
// Writes `bytes` as a new file beside `target` (see createBeside for `mode`) and, once it is on
// disk, puts it in the place of `target`: the path names the old file or the whole new one at every
// instant. On failure no new file is left, and `target` is as it was.
void replaceWhole(const std::string& target, std::span<const std::uint8_t> bytes, std::optional<unsigned> mode);
std::uint64_t sizeOf(int fd, const std::string& path);
bool exists(const std::string& path);

FileIdentity identityOf(int fd, const std::string& path);
// The identity of the file the path names now (symlinks followed), or none when there is none.
std::optional<FileIdentity> identityAt(const std::string& path);
// The permission bits of the open file, and of the file the path names (none when it does not exist).
unsigned modeOf(int fd, const std::string& path);
std::optional<unsigned> modeAt(const std::string& path);
// The user who owns the open file.
unsigned ownerOf(int fd, const std::string& path);
// The file a path names with every symlink followed, so that what is written beside a database
// (its journal, its compacted copy) lands beside the real file and a rename replaces the file, not
// the link. A path that does not exist (yet) is resolved as far as it does.
std::string realPath(const std::string& path);

// A change to the disk, as the step probe is told of it: what is done, and to which file (for
// SyncFolder, the file whose entry in its folder is made durable; for Replace, the file replaced).
struct Step {
    enum class Kind { Create, Write, Resize, Sync, SyncFolder, Remove, Replace };
    Kind kind;
    const std::string& path;
};

// Called before every create, write, resize, sync, removal and rename; a write of many bytes is a
// step for each piece of it. Pass an empty function to clear it.
void setStepProbe(std::function<void()> probe);
// The same probe, told which step comes.
void setDescribedStepProbe(std::function<void(const Step&)> probe);

}  // namespace kv::jet::durable_io
