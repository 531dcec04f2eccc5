// The file calls on Windows. Files are opened with CreateFileW, sharing reads, writes and deletes,
// so that a file can be renamed over or removed while another handle has it open, as on POSIX; the
// handle is then carried in a C runtime descriptor, which the rest of the engine passes around.
// The lock is a LockFileEx range far past any database's end: locks on Windows stop other
// handles' reads and writes of the bytes they cover, and no one reads or writes there.
#include <io.h>
#include <windows.h>

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <string_view>
#include <vector>

#include "jet/platform_file.h"

namespace kv::jet::platform_file {
namespace {

constexpr std::uint64_t kLockOffset = 0x7fff'ffff'0000'0000ull;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr unsigned kWritableMode = 0666, kReadOnlyMode = 0444;
// FileRenameInfoEx (Windows 10 1607), which mingw's headers name only for a later version.
constexpr auto kRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);

std::wstring fullPathOf(const std::wstring& path) {
    std::wstring full(::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
    full.resize(::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    return full;
}

// The path, widened; one too long for Windows' old limit (MAX_PATH) is made whole and given the
// prefix that lifts the limit, so that only a name no folder can hold is refused.
std::wstring wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), size);
    constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
    if (text.size() < MAX_PATH - 12 || text.starts_with(kLongPrefix)) return text;
    const std::wstring full = fullPathOf(text);
    if (full.starts_with(L"\\\\")) return std::wstring(kLongPrefix) + L"UNC" + full.substr(1);
    return std::wstring(kLongPrefix) + full;
}

// Leaves errno saying what the last Windows call's failure means; returns false for the caller.
bool failed() {
    switch (::GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: errno = ENOENT; break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: errno = EEXIST; break;
    case ERROR_ACCESS_DENIED: errno = EACCES; break;
    case ERROR_WRITE_PROTECT: errno = EROFS; break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: errno = ENOSPC; break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: errno = EBUSY; break;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY: errno = EILSEQ; break;
    case ERROR_FILENAME_EXCED_RANGE: errno = ENAMETOOLONG; break;
    default: errno = EIO; break;
    }
    return false;
}

HANDLE handleOf(int fd) { return reinterpret_cast<HANDLE>(::_get_osfhandle(fd)); }

OVERLAPPED at(std::uint64_t offset) {
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return position;
}

Status statusFrom(const BY_HANDLE_FILE_INFORMATION& info) {
    return {.regular = (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0,
            .size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow,
            .identity = {info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow},
            .mode = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? kReadOnlyMode : kWritableMode,
            .owner = 0};
}

// No file system of Windows holds a name longer than 255 characters; some only say "not found".
bool hasOverlongName(const std::wstring& path) {
    constexpr std::size_t kLongestName = 255;
    std::size_t length = 0;
    for (wchar_t c : path) {
        length = c == L'\\' || c == L'/' ? 0 : length + 1;
        if (length > kLongestName) return true;
    }
    return false;
}

HANDLE openHandle(const std::string& path, DWORD access, DWORD disposition, DWORD flags) {
    const std::wstring name = wide(path);
    if (hasOverlongName(name)) {
        ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return INVALID_HANDLE_VALUE;
    }
    return ::CreateFileW(name.c_str(), access, kShareAll, nullptr, disposition, flags, nullptr);
}

}  // namespace

int open(const std::string& path, Open how) {
    DWORD access = GENERIC_READ, disposition = OPEN_EXISTING, flags = FILE_ATTRIBUTE_NORMAL;
    int descriptorFlags = _O_RDONLY;
    switch (how) {
    case Open::Read: break;
    case Open::ReadNoFollow: flags |= FILE_FLAG_OPEN_REPARSE_POINT; break;
    case Open::Update: access |= GENERIC_WRITE, descriptorFlags = _O_RDWR; break;
    case Open::WriteNoFollow:
        access = GENERIC_WRITE, descriptorFlags = _O_WRONLY, flags |= FILE_FLAG_OPEN_REPARSE_POINT;
        break;
    case Open::CreateNew:
        access = GENERIC_WRITE, disposition = CREATE_NEW, descriptorFlags = _O_WRONLY;
        flags |= FILE_FLAG_OPEN_REPARSE_POINT;
        break;
    }
    // Renaming over and removing need delete access on the file that goes.
    HANDLE handle = openHandle(path, access | DELETE, disposition, flags);
    if (handle == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_ACCESS_DENIED)
        handle = openHandle(path, access, disposition, flags);
    if (handle == INVALID_HANDLE_VALUE) return failed(), -1;
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), descriptorFlags | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(handle);
        errno = EMFILE;
    }
    return fd;
}

void close(int fd) { ::_close(fd); }

std::int64_t readAt(int fd, void* into, std::size_t length, std::uint64_t offset) {
    OVERLAPPED position = at(offset);
    DWORD done = 0;
    const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(length, 1u << 30));
    if (::ReadFile(handleOf(fd), into, asked, &done, &position)) return done;
    if (::GetLastError() == ERROR_HANDLE_EOF) return 0;
    return failed(), -1;
}

std::int64_t writeAt(int fd, const void* bytes, std::size_t length, std::uint64_t offset) {
    OVERLAPPED position = at(offset);
    DWORD done = 0;
    const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(length, 1u << 30));
    if (::WriteFile(handleOf(fd), bytes, asked, &done, &position)) return done;
    return failed(), -1;
}

bool resize(int fd, std::uint64_t length) {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(length);
    return ::SetFileInformationByHandle(handleOf(fd), FileEndOfFileInfo, &end, sizeof end) || failed();
}

bool flush(int fd) { return ::FlushFileBuffers(handleOf(fd)) || failed(); }

bool flushFolder(const std::string&) { return true; }

bool setMode(int fd, unsigned mode) {
    FILE_BASIC_INFO basic{};
    if (!::GetFileInformationByHandleEx(handleOf(fd), FileBasicInfo, &basic, sizeof basic)) return failed();
    const DWORD readOnly = (mode & 0222) == 0 ? FILE_ATTRIBUTE_READONLY : 0;
    if ((basic.FileAttributes & FILE_ATTRIBUTE_READONLY) == readOnly) return true;
    basic.FileAttributes = (basic.FileAttributes & ~DWORD{FILE_ATTRIBUTE_READONLY}) | readOnly;
    if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return ::SetFileInformationByHandle(handleOf(fd), FileBasicInfo, &basic, sizeof basic) || failed();
}

bool removeFile(const std::string& path) { return ::DeleteFileW(wide(path).c_str()) || failed(); }

// The rename of POSIX (Windows 10 1607 and later) replaces a file that others have open, sharing
// delete, as every open here does: a compaction renames over the database it holds locked. Where
// the system has no such rename, MoveFileExW replaces files that no one has open.
bool replaceFile(const std::string& from, const std::string& to) {
    HANDLE source = openHandle(from, DELETE | GENERIC_WRITE, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (source == INVALID_HANDLE_VALUE) return failed();
    const std::wstring target = fullPathOf(wide(to));
    std::vector<std::byte> buffer(sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->Flags = FILE_RENAME_FLAG_REPLACE_IF_EXISTS | FILE_RENAME_FLAG_POSIX_SEMANTICS;
    rename->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
    std::memcpy(rename->FileName, target.data(), rename->FileNameLength);
    const bool renamed =
        ::SetFileInformationByHandle(source, kRenameInfoEx, rename, buffer.size()) && ::FlushFileBuffers(source);
    const DWORD code = ::GetLastError();
    ::CloseHandle(source);
    if (renamed) return true;
    if (code != ERROR_INVALID_PARAMETER && code != ERROR_NOT_SUPPORTED && code != ERROR_INVALID_FUNCTION)
        return ::SetLastError(code), failed();
    return ::MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ||
           failed();
}

bool statusOf(int fd, Status& status) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handleOf(fd), &info)) return failed();
    status = statusFrom(info);
    return true;
}

std::optional<Status> statusAt(const std::string& path, bool followLinks) {
    // No access asked: the status of a file that another program holds without sharing is had too.
    HANDLE handle =
        ::CreateFileW(wide(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                      FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr);
    if (handle == INVALID_HANDLE_VALUE) return failed(), std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(handle, &info);
    if (!known) failed();
    ::CloseHandle(handle);
    if (!known) return std::nullopt;
    return statusFrom(info);
}

// A user's temporary folder is that user's own on Windows, and so is what is made in it.
bool makeUniqueFolder(std::string& pattern) {
    constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz0123456789";
    constexpr std::size_t kRandomPart = 6;
    if (pattern.size() < kRandomPart) return errno = EINVAL, false;
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (std::size_t i = pattern.size() - kRandomPart; i < pattern.size(); ++i)
            pattern[i] = kLetters[random() % kLetters.size()];
        if (::CreateDirectoryW(wide(pattern).c_str(), nullptr)) return true;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) return failed();
    }
    return errno = EEXIST, false;
}

bool tryLock(int fd, LockMode mode) {
    OVERLAPPED position = at(kLockOffset);
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (mode == LockMode::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (::LockFileEx(handleOf(fd), flags, 0, 1, 0, &position)) return true;
    const DWORD code = ::GetLastError();
    if (code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING) return errno = EWOULDBLOCK, false;
    return failed();
}

void unlock(int fd) {
    OVERLAPPED position = at(kLockOffset);
    ::UnlockFileEx(handleOf(fd), 0, 1, 0, &position);
}

std::optional<std::string> liveJetLockFile(const std::string& path) {
    // Jet keeps NAME.ldb beside NAME.mdb open, sharing it, while any program has the database open,
    // and removes it when the last one closes it; one that a program left behind when it stopped
    // can be opened alone.
    const std::wstring lockFile = std::filesystem::path(wide(path)).replace_extension(L".ldb").wstring();
    HANDLE handle =
        ::CreateFileW(lockFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        ::CloseHandle(handle);
        return std::nullopt;
    }
    if (::GetLastError() != ERROR_SHARING_VIOLATION) return std::nullopt;
    const std::u8string name = std::filesystem::path(lockFile).u8string();
    return std::string(name.begin(), name.end());
}

}  // namespace kv::jet::platform_file
