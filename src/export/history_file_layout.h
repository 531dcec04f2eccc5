#pragma once
// Which of the logger's fields an exported call-history file holds. A contest that fills only
// field1 ... field8 gets the header-less form: eight fields per line, read in the logger's default
// order. A contest that fills any of field9 ... field14 gets a first line `!!Order!!,Call,...`
// naming the filled fields in position order, and each line holds exactly those.

#include "mapping/history_file_fields.h"

#include <string>
#include <vector>

namespace kv::export_ {

struct HistoryFileLayout {
    // The positions (0 for Call ... 13 for UserText) of a line's fields, in order.
    std::vector<std::size_t> positions;
    // The file's first line with its CR LF; empty for the header-less form.
    std::string orderLine;
};

HistoryFileLayout historyFileLayout(const mapping::ExportColumns& columns);

}  // namespace kv::export_
