#pragma once
// What the import tests share: a logger database's contests and QSOs, today's date as History
// stores it, and the process's temporary folder pointed at a folder of the test's own.

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace kv::testing {

inline const char* const kContestInstances =
    "ContestID,ContestName,StartDate,ContestNR\n"
    "1,DELETEDQS,1-1-1900,-1\n"
    "2,SSCW,11-7-2026 21:00:00,2\n"
    "3,FD,6-22-2024,3\n"
    "4,CQWPXCW,11-28-2026,4\n"
    "5,FD,6-28-2025 18:00:00,5\n"
    "6,RAC,12-27-2025,6\n"
    "7,STEWPERRY,12-20-2025,7\n";

// Columns of DXLOG that the import reads, and the ones that tell QSOs apart.
inline const char* const kQsos =
    "TS,Call,ContestName,ContestNR,Sect,CK,Exchange1,Name,GridSquare,NR,Run1Run2,ID\n"
    "6-22-2024 18:01:00,W1AW,FD,3,CT,0,2A,,,0,0,a1\n"
    "6-22-2024 18:02:00,K1ABC,FD,3,EMA,0,1D,,,0,0,a2\n"
    "6-22-2024 18:03:00,N0XYZ,FD,3,,0,3A,,,0,0,a3\n"
    "6-28-2025 18:01:00,W1AW,FD,5,CT,0,3A,,,0,0,b1\n"
    "6-28-2025 18:02:00,K1ABC,FD,5,WMA,0,1D,,,0,0,b2\n"
    "6-28-2025 18:03:00,VE3AAA,FD,5,ONE,0,1E,,,0,0,b3\n"
    "6-28-2025 18:04:00,VE3AAA,FD,5,ONE,0,2E,,,0,0,b4\n"
    "6-28-2025 18:05:00,DELETED1,FD,-1,CT,0,1A,,,0,0,c1\n"
    "11-7-2026 21:10:00,K5ZD,SSCW,2,STX,69,,,,12,0,d1\n"
    "12-20-2025 15:01:00,W1AW,STEWPERRY,7,,0,,,FN31,0,0,e1\n"
    "12-20-2025 16:01:00,W1AW,STEWPERRY,7,,0,,,\" \",0,0,e2\n";

inline const char* const kLoggerSchema = KV_SOURCE_DIR "/tests/support/logger/logger_schema.sql";

inline std::string todayText() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    return std::to_string(local->tm_mon + 1) + "-" + std::to_string(local->tm_mday) + "-" +
           std::to_string(local->tm_year + 1900);
}

// TMPDIR set to a folder of the test's own, where the working copy can be watched, for as long
// as it lives.
class TemporaryFolderSetting {
public:
    explicit TemporaryFolderSetting(const std::string& folder) {
        if (const char* was = std::getenv("TMPDIR")) was_ = was;
        setenv("TMPDIR", folder.c_str(), 1);
    }
    ~TemporaryFolderSetting() { was_ ? setenv("TMPDIR", was_->c_str(), 1) : unsetenv("TMPDIR"); }
    TemporaryFolderSetting(const TemporaryFolderSetting&) = delete;
    TemporaryFolderSetting& operator=(const TemporaryFolderSetting&) = delete;

private:
    std::optional<std::string> was_;
};

}  // namespace kv::testing
