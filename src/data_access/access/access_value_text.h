#pragma once
// Access values as the table access layer carries them: text a user expects to read (numbers in
// plain decimal with '.', Date/Time in the process date format, Boolean as "True"/"False"), and
// back from such text to a typed value (for index keys).

#include <optional>
#include <string>

#include "data_access/date_text.h"
#include "jet/table_def.h"
#include "jet/value.h"

namespace kv::data_access {

// Empty for NULL.
std::optional<std::string> accessValueText(const jet::Value& value);

// The typed value of `text` for the column; NULL for no text. Throws with a message naming the
// column when the text is not a value of its type.
jet::Value accessValueFromText(const jet::Column& column, const std::optional<std::string>& text);

// A date and time as Access stores it: days since 30 December 1899, the time as their fraction.
jet::DateTime accessDateTime(const DateTime& value);

}  // namespace kv::data_access
