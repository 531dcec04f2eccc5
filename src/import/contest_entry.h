#pragma once
// The text of a logger contest's entry in the contest list: its name and when it started, so
// that two instances of one contest can be told apart.

#include <string>

namespace kv::import {

// `contestName` + "," + the start date in the process date format, followed by a blank and the
// time as the user's locale writes a long time, only when the time of day is not midnight.
// `startDate` is the text the table access layer reads; one it cannot read is shown as it is.
std::string contestEntryText(const std::string& contestName, const std::string& startDate);

}  // namespace kv::import
