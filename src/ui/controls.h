#pragma once
// Every control, menu item and file dialog of the main window, by the name the operations use.
// The window builds a widget for each, and the test fake knows exactly these, so a misspelt
// name fails in the tests as it would in the program.

#include <span>
#include <string_view>

namespace kv::ui {

enum class ControlKind {
    Window,
    MenuBar,
    MenuItem,
    PageControl,
    TabSheet,
    Label,
    ComboBox,
    Edit,
    Button,
    ProgressBar,
    StatusBar
};

// OpenMany: an open dialog in which the user may choose several files.
enum class DialogKind { Open, OpenMany, Save };

struct ControlInfo {
    std::string_view name;
    ControlKind kind;
};

struct DialogInfo {
    std::string_view name;
    DialogKind kind;
};

std::span<const ControlInfo> mainWindowControls();
std::span<const DialogInfo> mainWindowDialogs();

// Throw std::logic_error for a name that is not in the tables.
const ControlInfo& requireControl(std::string_view name);
const DialogInfo& requireDialog(std::string_view name);
// Throws std::logic_error unless the control is of the given kind; returns it.
const ControlInfo& requireControl(std::string_view name, ControlKind kind);

// Whether the control has a caption or content (not the progress bar, menu bar or page control).
bool hasText(ControlKind kind);

}  // namespace kv::ui
