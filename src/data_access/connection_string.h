#pragma once
// A connection string: "Key=Value" settings separated by ";". Keys ignore letter case and the
// blanks around them ("Data Source =" is "Data Source"); a value may be put in double or single
// quotes to hold ";" ("Extended Properties=\"Text; HDR=yes\"").

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace kv::data_access {

class ConnectionString {
public:
    // Throws when a quoted value is not closed or a setting has no "=".
    static ConnectionString parse(std::string_view text);

    // The value of the key, without its quotes and surrounding blanks.
    std::optional<std::string> value(std::string_view key) const;

private:
    std::map<std::string, std::string> values_;  // keyed by the folded key
};

}  // namespace kv::data_access
