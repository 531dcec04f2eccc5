#pragma once
// The working copy of the call-history file chosen as the import's source, the table that
// ADODataSet_Hist reads. It lives in a private folder of this run (DataObjects::historyFileFolder),
// so imports running at once never read each other's file and the program directory is never
// written. Every error about it names the user's file, never the copy.

#include "shell/data_objects.h"

#include <filesystem>
#include <functional>
#include <string>

namespace kv::import {

// The copy's name in its folder: the table name the text driver reads it by.
inline constexpr const char* kHistoryFileCopy = "kestrovane_temp_history.txt";

// Copies `chosen` into a new private folder, first removing any earlier copy (and closing
// ADODataSet_Hist and its connection), and returns that folder. Throws, naming `chosen`, when it is no regular file (a device, a pipe, a folder) or
// cannot be copied; no copy is left then.
std::filesystem::path MakeHistoryFileCopy(shell::DataObjects& data, const std::string& chosen);

// Closes ADODataSet_Hist and its connection and removes the copy with its folder, if there is
// one.
void RemoveHistoryFileCopy(shell::DataObjects& data);

// Runs `work`, which reads the copy of `chosen`; an error it raises is raised again with
// `chosen` named in place of the copy.
void ReadHistoryFileCopy(const shell::DataObjects& data, const std::string& chosen, const std::function<void()>& work);

}  // namespace kv::import
