#pragma once
// The file-system calls of a commit. Each failure becomes an IoError whose message names the file and
// the cause in the user's words ("the disk is full"). Every call that changes something on disk first
// passes the step probe: the crash tests use it to stop a writer at a chosen step; the product sets none.

#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>

namespace kv::jet::durable_io {

class IoError : public std::runtime_error {
public:
    IoError(const std::string& message, int code) : std::runtime_error(message), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

// Opens an existing file for reading and writing; returns the descriptor.
int openForUpdate(const std::string& path);
// Creates (or truncates) a file for writing; returns the descriptor.
int createForWriting(const std::string& path);
void close(int fd);

void readAt(int fd, const std::string& path, std::span<std::uint8_t> into, std::uint64_t offset);
void writeAt(int fd, const std::string& path, std::span<const std::uint8_t> bytes, std::uint64_t offset);
void truncate(int fd, const std::string& path, std::uint64_t length);
void sync(int fd, const std::string& path);
// Makes a file's creation or removal durable.
void syncFolderOf(const std::string& path);
void remove(const std::string& path);
std::uint64_t sizeOf(int fd, const std::string& path);
bool exists(const std::string& path);

// Called before every write, truncate, sync and remove. Pass an empty function to clear it.
void setStepProbe(std::function<void()> probe);

}  // namespace kv::jet::durable_io
