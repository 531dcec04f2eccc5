#pragma once
// The export: the call-history text file of one contest written from History. The logger loads
// such a file to pre-fill exchanges: one line per History row that has something to say, the
// fields of the contest's layout (history_file_layout.h) comma-separated, no quoting, CR LF line
// ends.

#include "history_db/history_store.h"
#include "history_db/progress.h"
#include "mapping/history_file_fields.h"

#include <string>

namespace kv::export_ {

// The logger runs on Windows and reads such files in the Western code page.
enum class HistoryFileEncoding { Windows1252, Utf8 };

// What the program says once the file is written.
std::string exportedStatus(const std::string& target);

// Writes the file whose fields hold the History `columns` (ExportMapping's field1 ... field14) to
// `target`, and returns the number of station lines written (an `!!Order!!` line is not one). Every column named is checked before anything
// is written. The file is written beside the target and replaces it only once it is whole, so a
// failed export leaves any earlier file as it was; a file error is told as the user knows it
// ("File access denied", file_error_text.h).
long long exportHistoryFile(history_db::HistoryStore& store, const mapping::ExportColumns& columns,
                            const std::string& target, HistoryFileEncoding encoding,
                            const history_db::Progress& progress);

}  // namespace kv::export_
