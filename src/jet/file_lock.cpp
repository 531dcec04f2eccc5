#include "jet/file_lock.h"

#include <sys/file.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace kv::jet {

FileLock::FileLock(int fd, const std::string& path) : fd_(fd) {
    int result;
    do result = ::flock(fd_, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    if (result == 0) return;
    if (errno == EWOULDBLOCK)
        throw std::runtime_error("Cannot write " + path +
                                 ": the database is locked by another program that is writing it");
    throw std::runtime_error("Cannot lock " + path + ": " + std::strerror(errno));
}

FileLock::~FileLock() { ::flock(fd_, LOCK_UN); }

}  // namespace kv::jet
