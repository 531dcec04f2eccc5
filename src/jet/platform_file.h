#pragma once
// The operating system's file calls that the engine's file layer (durable_io, file_lock) stands on,
// with one implementation per system: platform_file_posix.cpp and platform_file_windows.cpp, chosen
// by the build. Each call behaves as its POSIX namesake: a failure returns false (or -1, or none)
// and leaves an errno code saying why; the Windows implementation translates Windows' own codes,
// so that callers and their messages know one set. Paths are UTF-8; on Windows they are widened
// before any call, so that every name a user's folders can hold opens.
//
// What the engine relies on, on both systems:
// - a file open here can be renamed over, or removed, while another handle of it is open;
// - replaceFile() puts `from` in the place of `to` in one step, and on Windows that step is on
//   disk when it returns (on POSIX the caller syncs the folder);
// - a lock is advisory to every program that takes it through tryLock(), is held by the open file
//   (two opens of one file exclude each other, in one process too), and never stops a read or a
//   write of the file's bytes.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace kv::jet::platform_file {

// A UTF-8 path as std::filesystem holds it, and back: to the C++ library on Windows a narrow string
// is in the code page, which cannot hold every name.
inline std::filesystem::path toPath(const std::string& utf8) { return std::u8string(utf8.begin(), utf8.end()); }
inline std::string utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

// Which file an open descriptor or a path stands for: a file put in a path's place by a rename is
// another file, even with the same name and bytes (device and inode; on Windows the volume's
// serial number and the file's index).
struct Identity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const Identity&) const = default;
};

struct Status {
    bool regular = false;  // a plain file: not a folder, and not a link when links are not followed
    std::uint64_t size = 0;
    Identity identity;
    unsigned mode = 0;   // the permission bits; on Windows 0666, or 0444 for a read-only file
    unsigned owner = 0;  // the owning user; on Windows always 0: files are not told apart by owner
};

enum class Open {
    Read,           // an existing file, for reading
    ReadNoFollow,   // the same, never through a symlink
    Update,         // an existing file, for reading and writing
    WriteNoFollow,  // an existing file, for writing, never through a symlink
    CreateNew,      // a file that must not exist yet (EEXIST when it does), for writing, never
                    // following a symlink planted at its name
};

// Returns the descriptor, or -1.
int open(const std::string& path, Open how);
void close(int fd);
// Like pread and pwrite: the count of bytes moved (0 at the end of the file), or -1.
std::int64_t readAt(int fd, void* into, std::size_t length, std::uint64_t offset);
std::int64_t writeAt(int fd, const void* bytes, std::size_t length, std::uint64_t offset);
bool resize(int fd, std::uint64_t length);
// Waits until the file's bytes and size are on disk.
bool flush(int fd);
// Waits until the names in `folder` (files made, removed or renamed there) are on disk; on Windows
// a rename is on disk when replaceFile() returns and a folder has nothing more to flush.
bool flushFolder(const std::string& folder);
// Gives the open file the permission bits `mode` (on Windows: read-only when no one may write).
bool setMode(int fd, unsigned mode);
// Removes the file; ENOENT when there was none.
bool removeFile(const std::string& path);
bool replaceFile(const std::string& from, const std::string& to);
bool statusOf(int fd, Status& status);
// The status of what the path names, or none (with errno) when there is nothing there.
std::optional<Status> statusAt(const std::string& path, bool followLinks);

// Like mkdtemp: makes a folder only this user may enter, named `pattern` with its last six
// characters, XXXXXX, replaced so that the name was free; false when it cannot be made.
bool makeUniqueFolder(std::string& pattern);

enum class LockMode { Shared, Exclusive };
// Takes the lock without waiting; false with EWOULDBLOCK when another open file holds a lock that
// excludes it. A descriptor holds one lock at a time: unlock() before taking the other mode.
bool tryLock(int fd, LockMode mode);
void unlock(int fd);

// The lock file that Microsoft Access (or any program using Jet) keeps beside an Access database
// it has open, when it is beside `path` and held open now; none when there is none, or it is a
// stale one left by a program that is gone. Never found on POSIX, where no Jet runs.
std::optional<std::string> liveJetLockFile(const std::string& path);

}  // namespace kv::jet::platform_file
