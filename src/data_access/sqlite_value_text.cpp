#include "data_access/sqlite_value_text.h"

#include <sqlite3.h>

#include <cstdint>

#include "data_access/date_text.h"
#include "data_access/number_text.h"
#include "data_access/text_fold.h"
#include "jet/value.h"

namespace kv::data_access {

bool isDateType(const char* declaredType) {
    if (!declaredType) return false;
    const std::string type = foldCase(declaredType);
    return type.find("date") != std::string::npos || type.find("time") != std::string::npos;
}

Value columnValue(sqlite3_stmt* statement, int column, bool dateColumn) {
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL: return std::nullopt;
    case SQLITE_INTEGER: return std::to_string(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT: return formatNumber(sqlite3_column_double(statement, column));
    case SQLITE_BLOB: {
        const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement, column));
        return jet::hexText(jet::Binary(bytes, bytes + sqlite3_column_bytes(statement, column)));
    }
    default: {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        std::string text(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
        if (dateColumn)
            if (auto date = parseIsoDateTime(text)) return formatDateTime(*date);
        return text;
    }
    }
}

}  // namespace kv::data_access
