#pragma once
// An ADIF log (.adi): an optional header ended by <EOH>, then records of `<NAME:length>value`
// fields (or `<NAME:length:type>`) each ended by <EOR>. Tags and names in any letter case; a
// value is the `length` bytes after its tag, line breaks included, so records may run across
// lines; text between fields is not read. A record cut short (a length past the end of the
// file, a tag never closed, no <EOR> before the file ends) is skipped and told with the line it
// starts on. The log's names and values are views into the text it was parsed from.

#include <cstddef>
#include <string_view>
#include <vector>

namespace kv::import {

struct AdifField {
    std::string_view name;  // as written
    std::string_view value;
};

struct AdifRecord {
    std::size_t firstField = 0;  // into AdifLog::fields
    std::size_t fieldCount = 0;
    long long line = 0;  // where its first field starts, from 1
};

struct AdifLog {
    std::vector<AdifField> fields;
    std::vector<AdifRecord> records;
    std::vector<long long> brokenRecords;  // the lines where the records cut short start

    // The value of the record's field of this name, letter case ignored; empty when it has none.
    std::string_view value(const AdifRecord& record, std::string_view name) const;
};

// Whether `text` is ADIF: its first character other than a blank or line end is '<' (a file
// without a header), or it holds an <EOH> tag in any case.
bool looksLikeAdif(std::string_view text);

AdifLog parseAdif(std::string_view text);

}  // namespace kv::import
