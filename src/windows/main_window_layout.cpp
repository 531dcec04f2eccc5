// The widgets of the main window, as the window's design gives them: captions, initial content,
// filters and default extensions, and the order of the controls on the pages.
#include "windows/main_window.h"

#include "ui/controls.h"
#include "windows/error_box.h"
#include "windows/file_filter.h"
#include "windows/status_line.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <stdexcept>

namespace kv::windows {
namespace {

struct MenuItemDesign {
    const char* menu;
    const char* name;
    const char* caption;
};

constexpr MenuItemDesign menuItems[] = {
    {"File", "NewThDB", "New History database"},
    {"File", "Open_ThDb", "Open History database"},
    {"File", "CloseThDB", "Close History database"},
    {"File", "Exit1", "Close Database and Exit"},
    {"Tools", "EmptyThDB", "Empty History database"},
    {"Tools", "PruneThDB", "Remove stations not heard since..."},
    {"Tools", "RestoreThDB", "Restore a backup..."},
    {"View", "ViewThDB", "History database"},
    {"Help", "About1", "About..."},
};

struct DialogDesign {
    const char* name;
    const char* filter;  // empty: set by the operation before use
    const char* defaultExt;
};

constexpr DialogDesign dialogDesigns[] = {
    {"OpenDialog_ThDB", "Microsoft Access (*.mdb)|*.mdb", ""},
    {"SaveDialog_newThDB", "", ""},
    {"OpenDialog_HamDB", "Microsoft Access (*.mdb)|*.mdb|N1MM Logger+ database (*.s3db)|*.s3db", ""},
    {"OpenDialog_SourceHistory", "History file (*.txt)|*.txt", ""},
    {"SaveDialog_TargetHistory", "History File (*.txt)|*.txt", "txt"},
    {"OpenDialog_ContestLogs",
     "Contest log (*.log *.cbr *.adi *.adif *.txt)|*.log;*.cbr;*.adi;*.adif;*.txt|All files (*)|*", ""},
};

template <typename Widget>
Widget* named(Widget* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

QLabel* rightAlignedLabel(const char* name, const char* caption) {
    auto* label = named(new QLabel(caption), name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QComboBox* dropDownList(const char* name, int width) {
    auto* list = named(new QComboBox, name);
    list->setMinimumWidth(width);
    return list;
}

QLineEdit* readOnlyEdit(const char* name, int width) {
    auto* edit = named(new QLineEdit, name);
    edit->setReadOnly(true);
    edit->setMinimumWidth(width);
    return edit;
}

QPushButton* button(const char* name, const char* caption, int width) {
    auto* result = named(new QPushButton(caption), name);
    result->setMinimumWidth(width);
    return result;
}

}  // namespace

void TForm1::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    std::map<std::string, QMenu*> menus;
    for (const MenuItemDesign& item : menuItems) {
        QMenu*& menu = menus[item.menu];
        if (!menu) menu = bar->addMenu(item.menu);
        QAction* action = menu->addAction(item.caption);
        action->setObjectName(item.name);
    }
}

void TForm1::buildPages() {
    auto* importPage = named(new QWidget, "TabSheet1");
    auto* importGrid = new QGridLayout(importPage);
    importGrid->addWidget(rightAlignedLabel("Label_ImportType", "Import type"), 0, 0);
    importGrid->addWidget(dropDownList("ComboBox_ImportType", 161), 0, 1);
    importGrid->addWidget(rightAlignedLabel("Label3", "Filename"), 1, 0);
    importGrid->addWidget(readOnlyEdit("Edit_SourceFilename", 161), 1, 1);
    importGrid->addWidget(rightAlignedLabel("Label_Contest", "Contest"), 2, 0);
    importGrid->addWidget(dropDownList("Combobox_Contest", 161), 2, 1);
    importGrid->addWidget(rightAlignedLabel("Label_MinLogs", "Logs per new station"), 3, 0);
    auto* minLogs = named(new QLineEdit, "Edit_MinLogs");
    minLogs->setMaximumWidth(40);
    importGrid->addWidget(minLogs, 3, 1, Qt::AlignLeft);
    importGrid->addWidget(button("Button_Import", "Start IMPORT", 75), 4, 0, 1, 2, Qt::AlignHCenter);
    importGrid->setRowStretch(5, 1);

    auto* exportPage = named(new QWidget, "TabSheet2");
    auto* exportGrid = new QGridLayout(exportPage);
    exportGrid->addWidget(rightAlignedLabel("Label_ExportContest", "Export for contest"), 0, 0);
    exportGrid->addWidget(dropDownList("ComboBox_ExportContest", 145), 0, 1);
    exportGrid->addWidget(button("Button_TargetHistory", "Target History file", 89), 1, 0);
    exportGrid->addWidget(readOnlyEdit("Edit_TargetHistory", 121), 1, 1);
    exportGrid->addWidget(button("Button_Export", "Start EXPORT", 75), 2, 0, 1, 2, Qt::AlignHCenter);
    exportGrid->setRowStretch(3, 1);

    pages_ = named(new QTabWidget, "PageControl1");
    pages_->addTab(importPage, "Import from log");
    pages_->addTab(exportPage, "Export to History.txt");
    pages_->setCurrentWidget(importPage);

    auto* progressBar = named(new QProgressBar, "ProgressBar1");
    progressBar->setRange(0, 100);
    progressBar->setTextVisible(false);
    progressBar->setFixedHeight(17);
    progressBar->hide();

    auto* central = new QWidget;
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(8, 16, 8, 8);
    column->addWidget(pages_, 1);
    column->addWidget(progressBar);
    setCentralWidget(central);

    QStatusBar* status = statusBar();
    status->setObjectName("StatusBar1");
    statusLine_ = new StatusLine;
    status->addWidget(statusLine_, 1);
}

void TForm1::buildDialogs() {
    for (const DialogDesign& design : dialogDesigns) {
        auto* dialog = named(new QFileDialog(this), design.name);
        // Qt's own dialog looks and behaves the same everywhere, and tests can drive it.
        dialog->setOption(QFileDialog::DontUseNativeDialog);
        if (ui::requireDialog(design.name).kind == ui::DialogKind::Save) {
            dialog->setAcceptMode(QFileDialog::AcceptSave);
            dialog->setFileMode(QFileDialog::AnyFile);
            dialog->setOption(QFileDialog::DontConfirmOverwrite);
        } else {
            dialog->setAcceptMode(QFileDialog::AcceptOpen);
            const bool many = ui::requireDialog(design.name).kind == ui::DialogKind::OpenMany;
            dialog->setFileMode(many ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
        }
        dialogs_[design.name] = dialog;
        if (*design.filter) setDialogFilter(design.name, design.filter);
        if (*design.defaultExt) setDialogDefaultExt(design.name, design.defaultExt);
    }
}

// Every widget of the control table, found by its name once, so that a missing one shows at
// start rather than at first use.
void TForm1::registerObjects() {
    for (const ui::ControlInfo& control : ui::mainWindowControls()) {
        const QString name = QString::fromUtf8(control.name.data(), qsizetype(control.name.size()));
        QObject* found = objectName() == name ? this : findChild<QObject*>(name);
        if (!found) throw std::logic_error("The main window lacks the control " + name.toStdString());
        objects_[std::string(control.name)] = found;
    }
}

void TForm1::connectEvents() {
    using ui::Event;
    const std::pair<const char*, Event> menuEvents[] = {
        {"NewThDB", Event::NewThDBClick},         {"Open_ThDb", Event::Open_ThDbClick},
        {"CloseThDB", Event::CloseThDBClick},     {"Exit1", Event::Exit1Click},
        {"EmptyThDB", Event::EmptyThDBClick},     {"PruneThDB", Event::PruneThDBClick},
        {"RestoreThDB", Event::RestoreThDBClick}, {"ViewThDB", Event::ViewThDBClick},
        {"About1", Event::About1Click},
    };
    for (const auto& [name, event] : menuEvents)
        connect(widget<QAction>(name), &QAction::triggered, this, [this, event = event] { dispatch(event); });

    // `activated` comes only from the user's pick, never from showing an entry as current.
    const std::pair<const char*, Event> listEvents[] = {
        {"ComboBox_ImportType", Event::ComboBox_ImportTypeSelect},
        {"Combobox_Contest", Event::Combobox_ContestSelect},
        {"ComboBox_ExportContest", Event::ComboBox_ExportContestSelect},
    };
    for (const auto& [name, event] : listEvents)
        connect(widget<QComboBox>(name), &QComboBox::activated, this, [this, event = event] { dispatch(event); });

    const std::pair<const char*, Event> buttonEvents[] = {
        {"Button_Import", Event::Button_ImportClick},
        {"Button_TargetHistory", Event::Button_TargetHistoryClick},
        {"Button_Export", Event::Button_ExportClick},
    };
    for (const auto& [name, event] : buttonEvents)
        connect(widget<QPushButton>(name), &QPushButton::clicked, this, [this, event = event] { dispatch(event); });
}

void TForm1::dispatch(ui::Event event) {
    runGuarded([&] {
        auto handler = handlers_.find(event);
        if (handler != handlers_.end()) ui::run(handler->second, *this);
    });
}

}  // namespace kv::windows
