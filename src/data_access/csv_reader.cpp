#include "data_access/csv_reader.h"

#include <stdexcept>

namespace kv::data_access {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

class RecordReader {
public:
    RecordReader(std::string_view text, const std::string& fileName) : text_(text), fileName_(fileName) {}

    std::vector<Row> readAll() {
        std::vector<Row> records;
        while (pos_ < text_.size()) {
            if (isLineEnd(text_[pos_])) {
                skipLineEnd();
                continue;
            }
            records.push_back(readRecord());
        }
        return records;
    }

private:
    Row readRecord() {
        Row record;
        while (true) {
            record.push_back(readField());
            if (pos_ < text_.size() && text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            skipLineEnd();
            return record;
        }
    }

    // Leaves pos_ on the comma or line end after the field, or at the end of the text.
    Value readField() {
        while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '"') return readQuotedField();
        std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != ',' && !isLineEnd(text_[pos_])) ++pos_;
        std::size_t end = pos_;
        while (end > start && isBlank(text_[end - 1])) --end;
        if (end == start) return std::nullopt;
        return std::string(text_.substr(start, end - start));
    }

    // Text after the closing quote, up to the comma, is kept as it stands.
    Value readQuotedField() {
        std::size_t openingLine = line_;
        ++pos_;
        std::string value;
        while (true) {
            if (pos_ >= text_.size())
                throw std::runtime_error(fileName_ + ": the quoted field that starts on line " +
                                         std::to_string(openingLine) + " is not closed");
            char c = text_[pos_++];
            if (c == '"') {
                if (pos_ < text_.size() && text_[pos_] == '"') {
                    value += '"';
                    ++pos_;
                    continue;
                }
                break;
            }
            if (c == '\n') ++line_;
            value += c;
        }
        std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != ',' && !isLineEnd(text_[pos_])) ++pos_;
        std::string_view rest = text_.substr(start, pos_ - start);
        while (!rest.empty() && isBlank(rest.back())) rest.remove_suffix(1);
        value += rest;
        return value;
    }

    void skipLineEnd() {
        if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
        ++line_;
    }

    std::string_view text_;
    const std::string& fileName_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
};

} // namespace

std::vector<Row> readCommaDelimited(std::string_view text, const std::string& fileName) {
    return RecordReader(text, fileName).readAll();
}

} // namespace kv::data_access
