#pragma once
// SQLite values as the table access layer carries them, written as the Access provider writes the
// same kinds of value: integers and reals in plain decimal (number_text.h), text as UTF-8, NULL as
// no value, a blob in hex digits. SQLite has no date type; a column declared DATETIME holds text
// such as "2026-05-16 18:00:00" (date_text.h parseIsoDateTime), which reads in the process date
// format. A value of such a column that is no such text reads as it is stored.

#include <optional>
#include <string>
#include <string_view>

#include "data_access/provider.h"

struct sqlite3_stmt;

namespace kv::data_access {

// Whether a column declared with this type holds dates: DATETIME, DATE, TIMESTAMP and the like.
// Null for a column declared without a type.
bool isDateType(const char* declaredType);

// The value of `column` in the statement's current row.
Value columnValue(sqlite3_stmt* statement, int column, bool dateColumn);

}  // namespace kv::data_access
