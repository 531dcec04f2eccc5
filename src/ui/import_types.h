#pragma once
// The entries of `ComboBox_ImportType`, in the list's order. Every branch on the import type
// compares the list's text with kLoggerHamDatabase or kContestLogs exactly; any other text means
// a history file.

namespace kv::ui {

inline constexpr const char* kLoggerHamDatabase = "Logger HAM Database";
inline constexpr const char* kHistoryFile = "History file";
inline constexpr const char* kContestLogs = "Contest log (Cabrillo or ADIF)";

}  // namespace kv::ui
