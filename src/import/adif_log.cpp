#include "import/adif_log.h"

#include "import/log_text.h"

#include <algorithm>

namespace kv::import {
namespace {

// Reads the text tag by tag, counting lines as it passes them.
class AdifReader {
public:
    explicit AdifReader(std::string_view text) : text_(text) {}

    AdifLog read() {
        inHeader_ = !startsWithTag();
        startRecord();
        while (moveToTag()) {
            const long long tagLine = line_;
            const std::size_t close = text_.find('>', at_);
            if (close == std::string_view::npos) return cutShort(tagLine);
            const std::string_view tag = text_.substr(at_ + 1, close - at_ - 1);
            advanceTo(close + 1);
            const std::size_t colon = tag.find(':');
            const std::string_view name = tag.substr(0, colon);
            if (equalsIgnoringCase(name, "EOH")) {
                inHeader_ = false;
                log_.fields.resize(record_.firstField);
                startRecord();
            } else if (equalsIgnoringCase(name, "EOR")) {
                finishRecord();
            } else if (colon != std::string_view::npos) {  // a tag without a length holds no value
                if (record_.line == 0) record_.line = tagLine;
                std::size_t length = 0;
                if (!readLength(tag.substr(colon + 1), length)) {
                    broken_ = true;
                    continue;
                }
                if (length > text_.size() - at_) return cutShort(tagLine);
                log_.fields.push_back({name, text_.substr(at_, length)});
                ++record_.fieldCount;
                advanceTo(at_ + length);
            }
        }
        return record_.line != 0 ? cutShort(record_.line) : std::move(log_);
    }

private:
    void startRecord() {
        record_ = {log_.fields.size(), 0, 0};
        broken_ = false;
    }

    void finishRecord() {
        if (broken_ && !inHeader_)
            log_.brokenRecords.push_back(record_.line);
        else if (record_.fieldCount > 0 && !inHeader_)
            log_.records.push_back(record_);
        startRecord();
    }

    // The file ends inside the record being read (a header is no record).
    AdifLog cutShort(long long tagLine) {
        if (!inHeader_) log_.brokenRecords.push_back(record_.line != 0 ? record_.line : tagLine);
        return std::move(log_);
    }

    bool startsWithTag() const {
        const std::size_t first = text_.find_first_not_of(" \t\r\n");
        return first != std::string_view::npos && text_[first] == '<';
    }

    bool moveToTag() {
        const std::size_t open = text_.find('<', at_);
        if (open == std::string_view::npos) return false;
        advanceTo(open);
        return true;
    }

    void advanceTo(std::size_t position) {
        // CR LF and a lone CR end a line as LF does.
        for (std::size_t i = at_; i < position; ++i)
            if (text_[i] == '\n' || (text_[i] == '\r' && (i + 1 >= text_.size() || text_[i + 1] != '\n'))) ++line_;
        at_ = position;
    }

    // `12` or `12:S` (a type indicator, not needed to read the value).
    static bool readLength(std::string_view lengthAndType, std::size_t& length) {
        const std::string_view digits = lengthAndType.substr(0, lengthAndType.find(':'));
        if (digits.empty() || digits.size() > 9) return false;
        length = 0;
        for (const char c : digits) {
            if (c < '0' || c > '9') return false;
            length = length * 10 + static_cast<std::size_t>(c - '0');
        }
        return true;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    long long line_ = 1;
    bool inHeader_ = false;
    AdifLog log_;
    AdifRecord record_;
    bool broken_ = false;
};

}  // namespace

std::string_view AdifLog::value(const AdifRecord& record, std::string_view name) const {
    const auto begin = fields.begin() + static_cast<std::ptrdiff_t>(record.firstField);
    const auto end = begin + static_cast<std::ptrdiff_t>(record.fieldCount);
    const auto found =
        std::find_if(begin, end, [&](const AdifField& field) { return equalsIgnoringCase(field.name, name); });
    return found == end ? std::string_view() : found->value;
}

bool looksLikeAdif(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && text[first] == '<') return true;
    for (std::size_t open = text.find('<'); open != std::string_view::npos; open = text.find('<', open + 1))
        if (equalsIgnoringCase(text.substr(open, 5), "<EOH>")) return true;
    return false;
}

AdifLog parseAdif(std::string_view text) { return AdifReader(text).read(); }

}  // namespace kv::import
