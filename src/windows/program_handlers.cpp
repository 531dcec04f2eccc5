#include "windows/program_windows.h"

#include "shell/about.h"
#include "shell/export_page.h"
#include "shell/history_database.h"
#include "shell/history_maintenance.h"
#include "shell/import_page.h"
#include "shell/view_history.h"

namespace kv::windows {

ui::Handlers programHandlers(shell::DataObjects& data) {
    using ui::Event;
    // Each entry hands the program's data objects to its operation beside the window's Ui.
    auto with = [&data](void (*operation)(ui::Ui&, shell::DataObjects&)) -> ui::Handler {
        return [&data, operation](ui::Ui& ui) { operation(ui, data); };
    };
    ui::Handlers handlers;
    handlers[Event::NewThDBClick] = with(shell::NewThDBClick);
    handlers[Event::Open_ThDbClick] = with(shell::Open_ThDbClick);
    handlers[Event::CloseThDBClick] = with(shell::CloseThDBClick);
    handlers[Event::Exit1Click] = with(shell::Exit1Click);
    handlers[Event::EmptyThDBClick] = with(shell::EmptyThDBClick);
    handlers[Event::PruneThDBClick] = with(shell::PruneThDBClick);
    handlers[Event::RestoreThDBClick] = with(shell::RestoreThDBClick);
    handlers[Event::ViewThDBClick] = with(shell::ViewThDBClick);
    handlers[Event::About1Click] = shell::About1Click;
    handlers[Event::ComboBox_ExportContestSelect] = shell::ComboBox_ExportContestSelect;
    handlers[Event::Button_TargetHistoryClick] = shell::Button_TargetHistoryClick;
    handlers[Event::Button_ExportClick] = [&data](ui::Ui& ui) { shell::Button_ExportClick(ui, data); };
    handlers[Event::ComboBox_ImportTypeSelect] =
        [choices =
             shell::SourceChoices{with(shell::OpenHamDB), with(shell::OpenHistFile), with(shell::OpenContestLogs)}](
            ui::Ui& ui) { shell::ComboBox_ImportTypeSelect(ui, choices); };
    handlers[Event::Combobox_ContestSelect] = with(shell::Combobox_ContestSelect);
    handlers[Event::Button_ImportClick] = [&data](ui::Ui& ui) { shell::Button_ImportClick(ui, data); };
    return handlers;
}

}  // namespace kv::windows
