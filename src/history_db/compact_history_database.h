#pragma once
// Compacting the History database in its own place, as closing it does.

#include <stdexcept>
#include <string>

namespace kv::history_db {

// The fixed name earlier versions gave the compacted copy in the database's folder; one left there
// is removed. Compaction itself now makes its copy under a name of its own that no one can guess.
inline constexpr const char* kStaleCompactedFileName = "Kestrovane_compacted.mdb";

// What the program says once the database is closed, which compacts it.
inline constexpr const char* kClosedStatus = "Kestrovane database closed and compacted";

// A compaction that did not happen, with the text the user is shown: "<path> not found", or
// "Error: " and why. The database is then as it was.
class CompactionFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Compacts the database in its own place, under the writer's lock, so that a program writing it
// at the same time loses nothing (data_access/compaction.h). Throws CompactionFailed.
void compactHistoryDatabase(const std::string& path);

}  // namespace kv::history_db
