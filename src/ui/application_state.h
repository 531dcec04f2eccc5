#pragma once
// The choices the user has made so far, kept by the main window for the life of the process.
// Every string is empty until its step sets it.

#include <string>
#include <vector>

namespace kv::ui {

enum class ScreenCursor { Normal, Hourglass };

struct ApplicationState {
    std::string MappingPath;
    std::string HistoryPath;  // never cleared once set
    std::string LoggerDbPath;
    std::string HistoryFileSourcePath;         // the call-history file chosen as the import's source
    std::vector<std::string> ContestLogPaths;  // the contest logs chosen as the import's source
    std::string ImportContestLog;              // their contest, as the logs name it
    std::string ImportContestGeneral;
    std::string ImportContestName;
    std::string ImportContestNr;
    std::string ExportContest;
    std::string TargetHistoryPath;
    ScreenCursor SavedCursor = ScreenCursor::Normal;
};

}  // namespace kv::ui
