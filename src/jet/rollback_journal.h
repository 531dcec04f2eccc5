#pragma once
// The rollback journal kept beside a database while a commit overwrites its pages: the original
// contents of every page about to be overwritten, the file's original length, and which file it
// belongs to. A journal is only applied when it is complete (its checksum matches), is a plain
// file owned by the database's owner (never a symlink, never another user's file planted at its
// name), and belongs to this very file (not to one a rename has since put in its place). A torn
// one was being written when the writer stopped, so the database itself was not yet touched.
//
// `databasePath` is the real path of the database (symlinks resolved): the journal lies beside it.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kv::jet::rollback_journal {

// A page's original bytes, seen where they are held: in the file as the writer read it, or in a
// journal read back.
struct SavedPage {
    std::uint32_t number;
    std::span<const std::uint8_t> bytes;  // one page
};

std::string pathFor(const std::string& databasePath);

// Writes the journal of a commit to the database open as `fd`, and makes it durable (file and
// folder synced). It is made afresh, never through a symlink, with the database's permissions. On
// failure the journal is removed and the IoError is passed on; the database has not been touched.
void save(int fd, const std::string& databasePath, std::uint64_t originalLength,
          const std::vector<SavedPage>& originals);

// Puts the saved pages and the original length back into the database open as `fd`, and syncs it.
void rollBack(int fd, const std::string& databasePath, std::uint64_t originalLength,
              const std::vector<SavedPage>& originals);

// Ends the journal durably, which makes its commit final: removes it, or, where that is refused
// (a folder made read-only), cuts it to nothing, and an empty journal is none. Throws the removal's
// IoError, naming the journal, when it can be neither removed nor emptied, or its removal cannot be
// made durable: a crash could then still bring it back whole.
void discard(const std::string& databasePath);

// Whether a journal this program may trust lies beside the database open as `fd`: a plain file,
// not empty, owned by the database's owner.
bool pending(int fd, const std::string& databasePath);

// To be called with the database locked, before it is read: rolls back a complete journal left by
// a writer that stopped. A journal that is torn or belongs to another file is discarded without
// touching the database; one that is empty or cannot be trusted is removed if it can be (and left
// where it cannot), and never applied. Returns true when the file was rolled back.
bool recoverLocked(int fd, const std::string& databasePath);

}  // namespace kv::jet::rollback_journal
