#include "cli/export_subcommand.h"

#include "cli/history_subcommands.h"
#include "cli/listing.h"
#include "export/history_file_export.h"
#include "mapping/mapping_workbook.h"

#include <algorithm>

namespace kv::cli {
namespace {

export_::HistoryFileEncoding encodingOf(const CommandLine& line) {
    const std::string name = line.value("--encoding").value_or("windows-1252");
    if (name == "windows-1252") return export_::HistoryFileEncoding::Windows1252;
    if (name == "utf-8") return export_::HistoryFileEncoding::Utf8;
    throw UsageError("--encoding is windows-1252 or utf-8, not \"" + name + "\"");
}

}  // namespace

void runExport(Session& session) {
    const export_::HistoryFileEncoding encoding = encodingOf(session.line);
    history_db::HistoryStore store = openHistory(session);
    mapping::MappingWorkbook workbook(session.mappingPath());
    const std::string& contest = session.line.arguments.at(0);
    const std::vector<std::string> offered = workbook.exportContests();
    if (std::ranges::find(offered, contest) == offered.end())
        throw Refusal("The mapping workbook offers no contest \"" + contest +
                      "\" for export; it offers: " + joined(offered));
    export_::exportHistoryFile(store, workbook.exportMapping(contest).columns, session.path("--to"), encoding,
                               session.report.progress());
}

}  // namespace kv::cli
