#include "data_access/filter_expression.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "data_access/number_text.h"
#include "data_access/quoted_text.h"
#include "data_access/text_fold.h"

namespace kv::data_access {
namespace {

using Node = FilterExpression::Node;
using Operator = FilterExpression::Operator;

template <typename T>
bool compareWith(Operator op, const T& cell, const T& literal) {
    switch (op) {
    case Operator::Equal: return cell == literal;
    case Operator::NotEqual: return cell != literal;
    case Operator::Less: return cell < literal;
    case Operator::Greater: return cell > literal;
    case Operator::LessOrEqual: return cell <= literal;
    case Operator::GreaterOrEqual: return cell >= literal;
    }
    return false;
}

bool isNameStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || static_cast<unsigned char>(c) >= 0x80;
}
bool isNameChar(char c) { return isNameStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '$'; }

// Recursive descent over the text; nodes are appended children first.
class Parser {
public:
    Parser(std::string_view text, const FilterExpression::ColumnResolver& resolve, std::vector<Node>& nodes)
        : text_(text), resolve_(resolve), nodes_(nodes) {}

    void parseAll() {
        parseOr();
        skipBlanks();
        if (pos_ < text_.size()) fail("unexpected \"" + std::string(text_.substr(pos_)) + "\"");
    }

private:
    std::size_t parseOr() {
        std::size_t left = parseAnd();
        while (takeKeyword("OR")) left = join(Node::Kind::Or, left, parseAnd());
        return left;
    }

    std::size_t parseAnd() {
        std::size_t left = parsePrimary();
        while (takeKeyword("AND")) left = join(Node::Kind::And, left, parsePrimary());
        return left;
    }

    std::size_t parsePrimary() {
        skipBlanks();
        if (take('(')) {
            std::size_t inner = parseOr();
            skipBlanks();
            if (!take(')')) fail("missing \")\"");
            return inner;
        }
        return parseComparison();
    }

    std::size_t parseComparison() {
        Node node;
        node.column = resolve_(takeColumnName());
        skipBlanks();
        node.op = takeOperator();
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == '\'') {
            const std::string text = takeQuotedText();
            node.textNumber = parseNumber(text);
            node.foldedText = foldCase(text);
        } else {
            node.numeric = true;
            node.number = takeNumber();
        }
        nodes_.push_back(std::move(node));
        return nodes_.size() - 1;
    }

    std::string takeColumnName() {
        skipBlanks();
        if (take('[')) {
            std::size_t end = text_.find(']', pos_);
            if (end == std::string_view::npos) fail("missing \"]\"");
            std::string name(text_.substr(pos_, end - pos_));
            pos_ = end + 1;
            return name;
        }
        if (pos_ >= text_.size() || !isNameStart(text_[pos_])) fail("a column name is expected");
        std::size_t start = pos_;
        while (pos_ < text_.size() && isNameChar(text_[pos_])) ++pos_;
        return std::string(text_.substr(start, pos_ - start));
    }

    Operator takeOperator() {
        if (take('=')) return Operator::Equal;
        if (take('<')) {
            if (take('>')) return Operator::NotEqual;
            if (take('=')) return Operator::LessOrEqual;
            return Operator::Less;
        }
        if (take('>')) return take('=') ? Operator::GreaterOrEqual : Operator::Greater;
        fail("a comparison (= <> < > <= >=) is expected");
    }

    std::string takeQuotedText() {
        ++pos_;
        std::string value;
        while (pos_ < text_.size()) {
            char c = text_[pos_++];
            if (c != '\'') {
                value += c;
            } else if (pos_ < text_.size() && text_[pos_] == '\'') {
                value += '\'';
                ++pos_;
            } else {
                return value;
            }
        }
        fail("a quoted text is not closed");
    }

    double takeNumber() {
        std::size_t start = pos_;
        if (pos_ < text_.size() && (text_[pos_] == '-' || text_[pos_] == '+')) ++pos_;
        while (pos_ < text_.size() && (std::isdigit(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '.'))
            ++pos_;
        auto number = parseNumber(text_.substr(start, pos_ - start));
        if (!number) fail("a number or a 'quoted text' is expected");
        return *number;
    }

    std::size_t join(Node::Kind kind, std::size_t left, std::size_t right) {
        Node node;
        node.kind = kind;
        node.left = left;
        node.right = right;
        nodes_.push_back(std::move(node));
        return nodes_.size() - 1;
    }

    bool takeKeyword(std::string_view keyword) {
        skipBlanks();
        if (text_.size() - pos_ < keyword.size() || !equalIgnoringCase(text_.substr(pos_, keyword.size()), keyword))
            return false;
        std::size_t after = pos_ + keyword.size();
        if (after < text_.size() && isNameChar(text_[after])) return false;
        pos_ = after;
        return true;
    }

    bool take(char c) {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    void skipBlanks() {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
    }

    [[noreturn]] void fail(const std::string& why) const {
        throw std::runtime_error("Invalid filter \"" + std::string(text_) + "\": " + why);
    }

    std::string_view text_;
    const FilterExpression::ColumnResolver& resolve_;
    std::vector<Node>& nodes_;
    std::size_t pos_ = 0;
};

}  // namespace

FilterExpression FilterExpression::parse(std::string_view text, const ColumnResolver& resolveColumn) {
    FilterExpression expression;
    Parser(text, resolveColumn, expression.nodes_).parseAll();
    for (const Node& node : expression.nodes_)
        if (node.kind == Node::Kind::Compare &&
            std::ranges::find(expression.columns_, node.column) == expression.columns_.end())
            expression.columns_.push_back(node.column);
    return expression;
}

bool FilterExpression::matches(const Row& row) const { return evaluate(nodes_.size() - 1, row); }

bool FilterExpression::evaluate(std::size_t index, const Row& row) const {
    const Node& node = nodes_[index];
    switch (node.kind) {
    case Node::Kind::And: return evaluate(node.left, row) && evaluate(node.right, row);
    case Node::Kind::Or: return evaluate(node.left, row) || evaluate(node.right, row);
    case Node::Kind::Compare: break;
    }
    const Value& cell = cellOf(row, node.column);
    if (node.numeric) {
        auto number = cell ? parseNumber(*cell) : std::nullopt;
        return number && compareWith(node.op, *number, node.number);
    }
    if (node.textNumber && cell) {
        if (auto number = parseNumber(*cell)) return compareWith(node.op, *number, *node.textNumber);
    }
    return compareWith(node.op, foldCase(cell.value_or("")), node.foldedText);
}

std::string quoteFilterText(std::string_view text) { return quotedText(text, '\''); }

}  // namespace kv::data_access
