#include "data_access/csv_reader.h"

#include <stdexcept>
#include <string>

namespace kv::data_access {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

class RecordReader {
public:
    RecordReader(std::string_view text, const std::string& fileName, Blanks blanks, RecordLimits limits)
        : text_(text), fileName_(fileName), dropBlanks_(blanks == Blanks::Dropped), limits_(limits) {}

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
        const std::size_t start = pos_, firstLine = line_;
        Row record;
        while (true) {
            if (record.size() == limits_.fields)
                throw tooWide(firstLine, "more than " + std::to_string(limits_.fields) + " fields");
            record.push_back(readField());
            if (pos_ - start > limits_.bytes)
                throw tooWide(firstLine, "longer than " + std::to_string(limits_.bytes) + " bytes");
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
        if (dropBlanks_)
            while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '"') return readQuotedField();
        std::string_view field = restOfField();
        if (field.empty()) return std::nullopt;
        return std::string(field);
    }

    // Text after the closing quote, up to the comma, joins the value.
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
        value += restOfField();
        return value;
    }

    // The text from pos_ up to the comma or line end, where it leaves pos_; without its trailing
    // blanks when blanks are dropped.
    std::string_view restOfField() {
        std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != ',' && !isLineEnd(text_[pos_])) ++pos_;
        std::string_view rest = text_.substr(start, pos_ - start);
        if (dropBlanks_)
            while (!rest.empty() && isBlank(rest.back())) rest.remove_suffix(1);
        return rest;
    }

    std::runtime_error tooWide(std::size_t line, const std::string& how) const {
        return std::runtime_error(fileName_ + ": line " + std::to_string(line) + " is too wide to read (" + how + ")");
    }

    void skipLineEnd() {
        if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
        ++line_;
    }

    std::string_view text_;
    const std::string& fileName_;
    const bool dropBlanks_;
    const RecordLimits limits_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
};

}  // namespace

std::vector<Row> readCommaDelimited(std::string_view text, const std::string& fileName, Blanks blanks,
                                    RecordLimits limits) {
    return RecordReader(text, fileName, blanks, limits).readAll();
}

}  // namespace kv::data_access
