#include "windows/program_windows.h"

#include "import/import_type_select.h"
#include "ui/window_operations.h"

namespace kv::windows {

ui::Handlers programHandlers() {
    using ui::Event;
    ui::Handlers handlers;
    handlers[Event::ComboBox_ImportTypeSelect] = [](ui::Ui& ui) {
        import::ComboBox_ImportTypeSelect(ui, import::SourceChoices{});
    };
    handlers[Event::Exit1Click] = [close = handlers[Event::CloseThDBClick]](ui::Ui& ui) {
        ui::Exit1Click(ui, close);
    };
    return handlers;
}

} // namespace kv::windows
