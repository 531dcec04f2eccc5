#include "csv_writer.h"

namespace kv::tools {

void writeCsvRecord(std::ostream& out, const std::vector<std::optional<std::string>>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out << ',';
        if (!fields[i]) continue;
        const std::string& field = *fields[i];
        if (field.find_first_of(",\"\r\n") == std::string::npos) {
            out << field;
            continue;
        }
        out << '"';
        for (char c : field) {
            if (c == '"') out << '"';
            out << c;
        }
        out << '"';
    }
    out << "\r\n";
}

}  // namespace kv::tools
