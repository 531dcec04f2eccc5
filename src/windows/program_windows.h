#pragma once
// The program's data objects and its three windows, created in this order: the main window, the
// About window, the History view. Only the main window is ever shown directly.

#include "shell/data_objects.h"
#include "windows/about_box.h"
#include "windows/history_view.h"
#include "windows/main_window.h"

#include <string>

namespace kv::windows {

// The operations of this build, keyed by the main window's events, each working on `data`.
ui::Handlers programHandlers(shell::DataObjects& data);

struct ProgramWindows {
    explicit ProgramWindows(std::string programDirectory)
        : form1(std::move(programDirectory), programHandlers(dataObjects)) {
        form1.attachWindows(aboutBox1, form_showHist);
    }

    // Declared first: it outlives the windows whose handlers use it.
    shell::DataObjects dataObjects;
    TForm1 form1;
    TAboutBox1 aboutBox1;
    TForm_showHist form_showHist;
};

}  // namespace kv::windows
