#include "windows/program_windows.h"

#include "export/history_file_export.h"
#include "history_db/history_database.h"
#include "history_db/view_history.h"
#include "import/import_run.h"
#include "import/import_sources.h"
#include "import/import_type_select.h"
#include "shell/about.h"

namespace kv::windows {

ui::Handlers programHandlers(shell::DataObjects& data) {
    using ui::Event;
    // Each entry hands the program's data objects to its operation beside the window's Ui.
    auto with = [&data](void (*operation)(ui::Ui&, shell::DataObjects&)) -> ui::Handler {
        return [&data, operation](ui::Ui& ui) { operation(ui, data); };
    };
    ui::Handlers handlers;
    handlers[Event::NewThDBClick] = with(history_db::NewThDBClick);
    handlers[Event::Open_ThDbClick] = with(history_db::Open_ThDbClick);
    handlers[Event::CloseThDBClick] = with(history_db::CloseThDBClick);
    handlers[Event::Exit1Click] = with(history_db::Exit1Click);
    handlers[Event::EmptyThDBClick] = with(history_db::EmptyThDBClick);
    handlers[Event::ViewThDBClick] = with(history_db::ViewThDBClick);
    handlers[Event::About1Click] = shell::About1Click;
    handlers[Event::ComboBox_ExportContestSelect] = export_::ComboBox_ExportContestSelect;
    handlers[Event::Button_TargetHistoryClick] = export_::Button_TargetHistoryClick;
    handlers[Event::Button_ExportClick] = [&data](ui::Ui& ui) { export_::Button_ExportClick(ui, data); };
    handlers[Event::ComboBox_ImportTypeSelect] =
        [choices = import::SourceChoices{with(import::OpenHamDB), with(import::OpenHistFile)}](ui::Ui& ui) {
            import::ComboBox_ImportTypeSelect(ui, choices);
        };
    handlers[Event::Combobox_ContestSelect] = with(import::Combobox_ContestSelect);
    handlers[Event::Button_ImportClick] = [&data](ui::Ui& ui) { import::Button_ImportClick(ui, data); };
    return handlers;
}

}  // namespace kv::windows
