#pragma once
// A connection string: "Key=Value" settings separated by ";". Keys ignore letter case and the
// blanks around them ("Data Source =" is "Data Source"); a value may be put in double or single
// quotes to hold ";" ("Extended Properties=\"Text; HDR=yes\""), a quote of its own kind inside
// doubled. Values that come from a user (paths) are always quoted, so that no character in them
// can end the value or start another setting.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace kv::data_access {

class ConnectionString {
public:
    // Throws when a quoted value is not closed or is followed by more than blanks, when a setting
    // has no "=", and when a key is set twice (a value spliced in unquoted shows so).
    static ConnectionString parse(std::string_view text);

    // The value of the key: a quoted one as it stands between its quotes, another without the
    // blanks around it.
    std::optional<std::string> value(std::string_view key) const;

private:
    std::map<std::string, std::string> values_;  // keyed by the folded key
};

// `value` written so that parse() reads it back exactly, whatever it holds (";", "=", quotes,
// blanks at either end): in double quotes, a double quote inside doubled.
std::string quoteConnectionValue(std::string_view value);

}  // namespace kv::data_access
