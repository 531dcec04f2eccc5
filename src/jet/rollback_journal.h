#pragma once
// The rollback journal kept beside a database while a commit overwrites its pages: the original
// contents of every page about to be overwritten and the file's original length. A journal is only
// trusted when it is complete (its checksum matches): a torn one was being written when the writer
// stopped, so the database itself was not yet touched.

#include <cstdint>
#include <string>
#include <vector>

namespace kv::jet::rollback_journal {

struct SavedPage {
    std::uint32_t number;
    std::vector<std::uint8_t> bytes;  // one page
};

std::string pathFor(const std::string& databasePath);

// Writes the journal and makes it durable (file and folder synced). On failure the journal is removed
// and the IoError is passed on; the database has not been touched.
void save(const std::string& databasePath, std::uint64_t originalLength, const std::vector<SavedPage>& pages);

// Puts the saved pages and the original length back into the database open as `fd`, and syncs it.
void rollBack(int fd, const std::string& databasePath);

// Removes the journal durably: the commit is then final.
void discard(const std::string& databasePath);

// To be called with the database locked, before it is read: rolls back a complete journal left by
// a writer that stopped, and removes a torn one. Returns true when the file was rolled back.
bool recoverLocked(int fd, const std::string& databasePath);

}  // namespace kv::jet::rollback_journal
