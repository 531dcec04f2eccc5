#include "export/history_file_line.h"

namespace kv::export_ {
namespace {

bool isControl(char c) { return static_cast<unsigned char>(c) < ' ' || c == '\x7F'; }
bool isPadding(char c) { return c == ' ' || isControl(c); }

// The logger reads one station per line and knows no quoting: a line break or tab a value holds
// (a memo typed over two lines) goes out as a blank. CR LF is one line break.
void appendValue(std::string& out, std::string_view value) {
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (!isControl(value[i])) {
            out += value[i];
            continue;
        }
        out += ' ';
        if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
    }
}

}  // namespace

std::string_view trimmedValue(std::string_view value) {
    while (!value.empty() && isPadding(value.front())) value.remove_prefix(1);
    while (!value.empty() && isPadding(value.back())) value.remove_suffix(1);
    return value;
}

bool appendHistoryLine(std::string& out, std::span<const std::string_view> fields) {
    const std::size_t start = out.size();
    appendValue(out, trimmedValue(fields[0]));
    bool anyValue = false;
    for (std::size_t k = 1; k < fields.size(); ++k) {
        const std::string_view value = trimmedValue(fields[k]);
        out += ',';
        appendValue(out, value);
        anyValue = anyValue || !value.empty();
    }
    if (!anyValue) {
        out.resize(start);
        return false;
    }
    out += "\r\n";
    return true;
}

}  // namespace kv::export_
