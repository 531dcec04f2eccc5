#pragma once
// Filter expressions as Jet takes them: comparisons of a column with a number or a 'quoted text'
// (= <> < > <= >=), joined by AND and OR (AND binds tighter), with parentheses:
//     History = 1
//     ContestNR = -1 OR (Contest = 'NAQPCW' AND Score >= 2.5)
// A column name may be written in brackets ([Contest name]); a quote inside a text is doubled.
//
// A number matches a cell whose text is that number ("1", "1.0" and " 1" all equal 1); a cell
// that holds no number never matches a number. A quoted text compares with a cell as numbers when
// both spell one (so ContestNR = '7' finds the number 7, as Locate does), otherwise as texts
// without regard to letter case; a NULL cell compares as the empty text.
//
// A value that comes from data or a user goes into an expression only as quoteFilterText makes
// it, so that it is one literal whatever it holds.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data_access/provider.h"

namespace kv::data_access {

class FilterExpression {
public:
    // Gives the position of a named column, or throws the caller's own "not found" error.
    using ColumnResolver = std::function<std::size_t(std::string_view name)>;

    // Parses once; throws on a syntax error, naming the expression.
    static FilterExpression parse(std::string_view text, const ColumnResolver& resolveColumn);

    // Reads only the cells of columns().
    bool matches(const Row& row) const;
    // The columns the expression compares, each once.
    const std::vector<std::size_t>& columns() const { return columns_; }

    enum class Operator { Equal, NotEqual, Less, Greater, LessOrEqual, GreaterOrEqual };
    struct Node {
        enum class Kind { Compare, And, Or } kind = Kind::Compare;
        // Compare:
        std::size_t column = 0;
        Operator op = Operator::Equal;
        bool numeric = false;
        double number = 0;
        std::optional<double> textNumber;  // a quoted text's number, when it spells one
        std::string foldedText;
        // And, Or: positions of the two operands in nodes_.
        std::size_t left = 0;
        std::size_t right = 0;
    };

private:
    bool evaluate(std::size_t node, const Row& row) const;

    std::vector<Node> nodes_;  // the root is the last node
    std::vector<std::size_t> columns_;
};

// `text` as a quoted text of a filter expression: in single quotes, a single quote inside doubled.
std::string quoteFilterText(std::string_view text);

}  // namespace kv::data_access
