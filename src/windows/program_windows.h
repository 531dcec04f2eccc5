#pragma once
// The three windows of the program, created in this order: the main window, the About window,
// the History view. Only the main window is ever shown directly.

#include "windows/about_box.h"
#include "windows/history_view.h"
#include "windows/main_window.h"

#include <string>

namespace kv::windows {

// The operations of this build, keyed by the main window's events.
ui::Handlers programHandlers();

struct ProgramWindows {
    explicit ProgramWindows(std::string programDirectory, ui::Handlers handlers = programHandlers())
        : form1(std::move(programDirectory), std::move(handlers)) {}

    TForm1 form1;
    TAboutBox1 aboutBox1;
    TForm_showHist form_showHist;
};

} // namespace kv::windows
