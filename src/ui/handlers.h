#pragma once
// The table from the main window's events to the operations they start. The program fills it
// with the operations it has; the window tests fill it with recorders.

#include "ui/ui.h"

#include <functional>
#include <map>

namespace kv::ui {

using Handler = std::function<void(Ui&)>;

enum class Event {
    NewThDBClick,
    Open_ThDbClick,
    CloseThDBClick,
    Exit1Click,
    EmptyThDBClick,
    PruneThDBClick,
    RestoreThDBClick,
    ViewThDBClick,
    About1Click,
    ComboBox_ImportTypeSelect,
    Combobox_ContestSelect,
    Button_ImportClick,
    ComboBox_ExportContestSelect,
    Button_TargetHistoryClick,
    Button_ExportClick
};

using Handlers = std::map<Event, Handler>;

// Runs the handler; an operation that is absent from the table (not part of this build) does
// nothing, which is safe because the workflow keeps its control disabled.
inline void run(const Handler& handler, Ui& ui) {
    if (handler) handler(ui);
}

}  // namespace kv::ui
