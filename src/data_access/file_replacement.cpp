#include "data_access/file_replacement.h"

#include <filesystem>
#include <span>
#include <system_error>
#include <utility>

#include "jet/durable_io.h"

namespace kv::data_access {
namespace io = jet::durable_io;
namespace {

template <typename Action>
auto asFileError(Action action) {
    try {
        return action();
    } catch (const io::IoError& error) {
        throw FileError(error.what(), error.code());
    }
}

}  // namespace

// Beside the target, so that the move stays within one file system and is a single rename.
FileReplacement::FileReplacement(std::string target, std::optional<unsigned> permissions)
    : target_(std::move(target)), realTarget_(io::realPath(target_)) {
    if (!permissions) permissions = io::modeAt(realTarget_);
    io::NewFile file = asFileError([&] { return io::createBeside(realTarget_, permissions); });
    fd_ = file.fd;
    partial_ = std::move(file.path);
}

std::optional<unsigned> FileReplacement::permissionsOf(const std::string& path) { return io::modeAt(path); }

FileReplacement::~FileReplacement() { discard(); }

void FileReplacement::discard() noexcept {
    if (fd_ >= 0) io::close(std::exchange(fd_, -1));
    if (committed_) return;
    std::error_code ignored;
    std::filesystem::remove(partial_, ignored);
}

void FileReplacement::write(std::string_view bytes) {
    asFileError([&] {
        io::writeAt(fd_, partial_, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
                    written_);
    });
    written_ += bytes.size();
}

void FileReplacement::commit() {
    try {
        asFileError([&] {
            io::sync(fd_, partial_);
            io::close(std::exchange(fd_, -1));
        });
        std::error_code error;
        std::filesystem::rename(partial_, realTarget_, error);
        if (error) throw FileError("Cannot replace " + target_ + ": " + error.message(), error.value());
        committed_ = true;
    } catch (...) {
        discard();
        throw;
    }
    // The target already holds the whole new file; this makes its new name durable.
    asFileError([&] { io::syncFolderOf(realTarget_); });
}

}  // namespace kv::data_access
