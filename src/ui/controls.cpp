#include "ui/controls.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

namespace kv::ui {
namespace {

constexpr std::array controls{
    ControlInfo{"TForm1", ControlKind::Window},
    ControlInfo{"MainMenu1", ControlKind::MenuBar},
    ControlInfo{"NewThDB", ControlKind::MenuItem},
    ControlInfo{"Open_ThDb", ControlKind::MenuItem},
    ControlInfo{"CloseThDB", ControlKind::MenuItem},
    ControlInfo{"Exit1", ControlKind::MenuItem},
    ControlInfo{"EmptyThDB", ControlKind::MenuItem},
    ControlInfo{"PruneThDB", ControlKind::MenuItem},
    ControlInfo{"RestoreThDB", ControlKind::MenuItem},
    ControlInfo{"ViewThDB", ControlKind::MenuItem},
    ControlInfo{"About1", ControlKind::MenuItem},
    ControlInfo{"PageControl1", ControlKind::PageControl},
    ControlInfo{"TabSheet1", ControlKind::TabSheet},
    ControlInfo{"Label_ImportType", ControlKind::Label},
    ControlInfo{"ComboBox_ImportType", ControlKind::ComboBox},
    ControlInfo{"Label3", ControlKind::Label},
    ControlInfo{"Edit_SourceFilename", ControlKind::Edit},
    ControlInfo{"Label_Contest", ControlKind::Label},
    ControlInfo{"Combobox_Contest", ControlKind::ComboBox},
    ControlInfo{"Label_MinLogs", ControlKind::Label},
    ControlInfo{"Edit_MinLogs", ControlKind::Edit},
    ControlInfo{"Button_Import", ControlKind::Button},
    ControlInfo{"TabSheet2", ControlKind::TabSheet},
    ControlInfo{"Label_ExportContest", ControlKind::Label},
    ControlInfo{"ComboBox_ExportContest", ControlKind::ComboBox},
    ControlInfo{"Button_TargetHistory", ControlKind::Button},
    ControlInfo{"Edit_TargetHistory", ControlKind::Edit},
    ControlInfo{"Button_Export", ControlKind::Button},
    ControlInfo{"ProgressBar1", ControlKind::ProgressBar},
    ControlInfo{"StatusBar1", ControlKind::StatusBar},
};

constexpr std::array dialogs{
    DialogInfo{"OpenDialog_ThDB", DialogKind::Open},
    DialogInfo{"SaveDialog_newThDB", DialogKind::Save},
    DialogInfo{"OpenDialog_HamDB", DialogKind::Open},
    DialogInfo{"OpenDialog_SourceHistory", DialogKind::Open},
    DialogInfo{"SaveDialog_TargetHistory", DialogKind::Save},
    DialogInfo{"OpenDialog_ContestLogs", DialogKind::OpenMany},
};

template <typename Table>
const auto& findByName(const Table& table, std::string_view name, std::string_view what) {
    auto found = std::find_if(table.begin(), table.end(), [name](const auto& entry) { return entry.name == name; });
    if (found == table.end())
        throw std::logic_error("The main window has no " + std::string(what) + " named \"" + std::string(name) + "\"");
    return *found;
}

}  // namespace

std::span<const ControlInfo> mainWindowControls() { return controls; }
std::span<const DialogInfo> mainWindowDialogs() { return dialogs; }

const ControlInfo& requireControl(std::string_view name) { return findByName(controls, name, "control"); }

const DialogInfo& requireDialog(std::string_view name) { return findByName(dialogs, name, "file dialog"); }

const ControlInfo& requireControl(std::string_view name, ControlKind kind) {
    const ControlInfo& control = requireControl(name);
    if (control.kind != kind)
        throw std::logic_error("\"" + std::string(name) + "\" is not a control of the kind asked for");
    return control;
}

bool hasText(ControlKind kind) {
    return kind != ControlKind::ProgressBar && kind != ControlKind::MenuBar && kind != ControlKind::PageControl;
}

}  // namespace kv::ui
