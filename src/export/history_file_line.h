#pragma once
// One line of a call-history text file.

#include <span>
#include <string>
#include <string_view>

namespace kv::export_ {

// The value without the blanks and control characters around it.
std::string_view trimmedValue(std::string_view value);

// Appends the line of one row to `out`, given the values of its fields, the call first (empty
// where the contest names no column): the trimmed values joined by commas, ended by CR LF. A line
// break or other control character inside a value is written as a blank, so every row is one
// line. A row with no value after the call has nothing to say and gets no line; returns whether
// it got one.
bool appendHistoryLine(std::string& out, std::span<const std::string_view> fields);

}  // namespace kv::export_
