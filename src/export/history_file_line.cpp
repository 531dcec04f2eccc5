#include "export/history_file_line.h"

namespace kv::export_ {

std::string_view trimmedValue(std::string_view value) {
    auto isPadding = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!value.empty() && isPadding(value.front())) value.remove_prefix(1);
    while (!value.empty() && isPadding(value.back())) value.remove_suffix(1);
    return value;
}

bool appendHistoryLine(std::string& out, const std::array<std::string_view, 8>& fields) {
    const std::size_t start = out.size();
    out += trimmedValue(fields[0]);
    bool anyValue = false;
    for (std::size_t k = 1; k < fields.size(); ++k) {
        const std::string_view value = trimmedValue(fields[k]);
        out += ',';
        out += value;
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
