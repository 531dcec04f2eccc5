#include "data_access/command.h"

#include <cctype>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "data_access/connection.h"
#include "data_access/filter_expression.h"
#include "data_access/text_fold.h"

namespace kv::data_access {
namespace {

struct DeleteStatement {
    std::string table;
    std::string condition;
};

class StatementReader {
public:
    explicit StatementReader(std::string_view text) : text_(text) {}

    bool takeKeyword(std::string_view keyword) {
        skipBlanks();
        std::size_t end = pos_ + keyword.size();
        if (end > text_.size() || !equalIgnoringCase(text_.substr(pos_, keyword.size()), keyword)) return false;
        if (end < text_.size() && !std::isspace(static_cast<unsigned char>(text_[end])) && text_[end] != '[' &&
            text_[end] != '*' && text_[end] != ';')
            return false;
        pos_ = end;
        return true;
    }

    bool take(char c) {
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    std::optional<std::string> takeName() {
        skipBlanks();
        if (take('[')) {
            std::size_t end = text_.find(']', pos_);
            if (end == std::string_view::npos) return std::nullopt;
            std::string name(text_.substr(pos_, end - pos_));
            pos_ = end + 1;
            return name;
        }
        std::size_t start = pos_;
        while (pos_ < text_.size() && !std::isspace(static_cast<unsigned char>(text_[pos_])) && text_[pos_] != ';')
            ++pos_;
        if (pos_ == start) return std::nullopt;
        return std::string(text_.substr(start, pos_ - start));
    }

    // The rest of the statement, without a closing ";".
    std::string rest() {
        std::string_view rest = text_.substr(pos_);
        while (!rest.empty() && (std::isspace(static_cast<unsigned char>(rest.back())) || rest.back() == ';'))
            rest.remove_suffix(1);
        pos_ = text_.size();
        return std::string(rest);
    }

    bool atEnd() {
        skipBlanks();
        while (pos_ < text_.size() && text_[pos_] == ';') {
            ++pos_;
            skipBlanks();
        }
        return pos_ == text_.size();
    }

private:
    void skipBlanks() {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

DeleteStatement parseStatement(const std::string& text) {
    auto unsupported = [&] {
        return std::runtime_error("Unsupported SQL statement \"" + text +
                                  "\": only DELETE FROM <table> [WHERE <condition>] can be executed");
    };
    StatementReader reader(text);
    if (!reader.takeKeyword("DELETE")) throw unsupported();
    reader.take('*');
    if (!reader.takeKeyword("FROM")) throw unsupported();
    DeleteStatement statement;
    auto table = reader.takeName();
    if (!table) throw unsupported();
    statement.table = *table;
    if (reader.takeKeyword("WHERE")) {
        statement.condition = reader.rest();
        if (statement.condition.empty()) throw unsupported();
    } else if (!reader.atEnd()) {
        throw unsupported();
    }
    return statement;
}

}  // namespace

std::size_t Command::execute() {
    if (!connection_) throw std::runtime_error("The SQL command has no connection to run on");
    DeleteStatement statement = parseStatement(text_);
    auto table = connection_->table(statement.table);
    std::optional<FilterExpression> condition;
    if (!statement.condition.empty()) {
        condition = FilterExpression::parse(statement.condition, [&](std::string_view name) {
            auto position = table->findColumn(name);
            if (!position) throw std::runtime_error(statement.table + ": Field '" + std::string(name) + "' not found");
            return *position;
        });
    }
    std::size_t removed = 0;
    connection_->runBulkWork(
        [&] { removed = table->removeWhere([&](const Row& row) { return !condition || condition->matches(row); }); });
    return removed;
}

}  // namespace kv::data_access
