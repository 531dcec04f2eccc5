#include "cli/mapping_subcommands.h"

#include "mapping/mapping_workbook.h"

namespace kv::cli {
namespace {

void printList(Session& session, std::string_view list, std::string_view mark) {
    for (const std::string& entry : session.ui.items(list)) session.out << mark << '\t' << entry << '\n';
}

}  // namespace

void runContests(Session& session) {
    mapping::ConnectMappingWorkbook(session.ui, session.data);
    mapping::FillExportContests(session.ui, session.data);
    mapping::FillHistoryFileContests(session.ui, session.data);
    printList(session, "ComboBox_ExportContest", "export");
    printList(session, "Combobox_Contest", "history-file");
}

}  // namespace kv::cli
