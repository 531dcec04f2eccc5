#pragma once
// SQL text executed on a connection. The statement understood is
//     DELETE [*] FROM <table> [WHERE <filter expression>]
// with keywords in any letter case and the condition in the filter syntax of FilterExpression;
// its removals are committed together. Any other statement raises a clear error.

#include <cstddef>
#include <string>

namespace kv::data_access {

class Connection;

class Command {
public:
    void setConnection(Connection* connection) { connection_ = connection; }
    Connection* connection() const { return connection_; }
    void setCommandText(std::string text) { text_ = std::move(text); }
    const std::string& commandText() const { return text_; }

    // Returns the number of rows the statement affected.
    std::size_t execute();

private:
    Connection* connection_ = nullptr;
    std::string text_;
};

}  // namespace kv::data_access
