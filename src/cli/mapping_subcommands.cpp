#include "cli/mapping_subcommands.h"

#include "mapping/mapping_workbook.h"

namespace kv::cli {
namespace {

void printList(Session& session, const std::vector<std::string>& entries, std::string_view mark) {
    for (const std::string& entry : entries) session.out << mark << '\t' << entry << '\n';
}

}  // namespace

void runContests(Session& session) {
    mapping::MappingWorkbook workbook(session.mappingPath());
    const std::vector<std::string> exported = workbook.exportContests();
    const std::vector<std::string> types = workbook.historyFileContestTypes();
    printList(session, exported, "export");
    printList(session, types, "history-file");
}

}  // namespace kv::cli
