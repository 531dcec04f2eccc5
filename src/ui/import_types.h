#pragma once
// The two entries of `ComboBox_ImportType`. Every branch on the import type compares the list's
// text with kLoggerHamDatabase exactly; any other text means a history file.

namespace kv::ui {

inline constexpr const char* kLoggerHamDatabase = "Logger HAM Database";
inline constexpr const char* kHistoryFile = "History file";

}  // namespace kv::ui
