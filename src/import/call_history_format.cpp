#include "import/call_history_format.h"

#include "data_access/text_encoding.h"
#include "data_access/text_fold.h"
#include "data_access/trim_blanks.h"
#include "data_access/whole_file.h"
#include "import/regular_file.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace kv::import {
namespace {

constexpr std::string_view kOrderDirective = "!!Order!!";

enum class LineKind { Blank, Comment, Order, Directive, Station };

LineKind kindOf(std::string_view line) {
    const std::string_view text = data_access::trimBlanks(line);
    if (text.empty()) return LineKind::Blank;
    if (text.starts_with('#')) return LineKind::Comment;
    if (data_access::equalIgnoringCase(text.substr(0, kOrderDirective.size()), kOrderDirective)) return LineKind::Order;
    if (text.starts_with("!!")) return LineKind::Directive;
    return LineKind::Station;
}

// Calls `each(line, number)` for every line of `text`, numbered from 1.
template <typename Each>
void forEachLine(std::string_view text, Each each) {
    long long number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        each(text.substr(0, end), ++number);
        if (end == std::string_view::npos) break;
        const std::size_t next = text.substr(end, 2) == "\r\n" ? end + 2 : end + 1;
        text.remove_prefix(next);
    }
}

// The fields of a line, each without the blanks around it.
std::vector<std::string_view> fieldsOf(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t end = line.find_first_of(",;");
        fields.push_back(data_access::trimBlanks(line.substr(0, end)));
        if (end == std::string_view::npos) return fields;
        line.remove_prefix(end + 1);
    }
}

OrderLine orderLine(std::string_view line, long long number) {
    std::string_view rest = data_access::trimBlanks(line).substr(kOrderDirective.size());
    OrderLine order{number, {}};
    if (!rest.empty() && (rest.front() == ',' || rest.front() == ';')) rest.remove_prefix(1);
    for (std::string_view name : fieldsOf(rest)) order.names.emplace_back(name);
    return order;
}

std::optional<std::size_t> loggerField(const std::string& name) {
    for (std::size_t i = 0; i < kLoggerFields.size(); ++i)
        if (data_access::equalIgnoringCase(name, kLoggerFields[i])) return i;
    return std::nullopt;
}

// Where each column of a line goes among kLoggerFields; none for a column skipped.
using ColumnTargets = std::vector<std::optional<std::size_t>>;

ColumnTargets defaultTargets() {
    ColumnTargets targets;
    for (std::size_t i = 0; i < kLoggerFields.size(); ++i) targets.emplace_back(i);
    return targets;
}

class Reader {
public:
    explicit Reader(const std::string& fileName) : fileName_(fileName), targets_(defaultTargets()) {}

    void line(std::string_view line, long long number) {
        switch (kindOf(line)) {
        case LineKind::Order: order(orderLine(line, number)); break;
        case LineKind::Station: station(line, number); break;
        default: break;
        }
    }

    CallHistory take() { return std::move(history_); }

private:
    void order(const OrderLine& order) {
        ColumnTargets targets;
        bool namesCall = false;
        for (const std::string& name : order.names) {
            const std::optional<std::size_t> field = name.empty() ? std::nullopt : loggerField(name);
            if (!name.empty() && !field &&
                std::ranges::find(history_.unknownNames, name) == history_.unknownNames.end())
                history_.unknownNames.push_back(name);
            namesCall = namesCall || field == 0u;
            targets.push_back(field);
        }
        if (!namesCall)
            throw std::runtime_error(fileName_ + ", line " + std::to_string(order.line) +
                                     ": the !!Order!! line names no Call field, so its stations cannot be filed");
        targets_ = std::move(targets);
    }

    void station(std::string_view line, long long number) {
        row_.assign(kLoggerFields.size(), std::nullopt);
        const std::vector<std::string_view> fields = fieldsOf(line);
        for (std::size_t column = 0; column < fields.size(); ++column) {
            if (fields[column].empty()) continue;
            if (column >= targets_.size()) {
                if (history_.extraFields++ == 0) history_.firstExtraLine = number;
                continue;
            }
            if (!targets_[column]) continue;
            row_[*targets_[column]] = std::string(fields[column]);
            history_.fieldsGiven[*targets_[column]] = true;
        }
        history_.stations.add(row_);
        history_.stationLines.push_back(number);
    }

    const std::string& fileName_;
    ColumnTargets targets_;
    CallHistory history_;
    data_access::Row row_;  // the station being read
};

}  // namespace

CallHistory parseCallHistory(std::string_view text, const std::string& fileName) {
    Reader reader(fileName);
    forEachLine(text, [&](std::string_view line, long long number) { reader.line(line, number); });
    return reader.take();
}

std::vector<OrderLine> orderLinesOf(std::string_view text) {
    std::vector<OrderLine> orders;
    forEachLine(text, [&](std::string_view line, long long number) {
        if (kindOf(line) == LineKind::Order) orders.push_back(orderLine(line, number));
    });
    return orders;
}

std::string readCallHistoryText(const std::string& path) {
    requireRegularFile(path);
    return data_access::decodeTextFile(data_access::readWholeFile(path), path);
}

}  // namespace kv::import
