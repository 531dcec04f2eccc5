#include "windows/main_window.h"

#include "shell/form_create.h"
#include "ui/controls.h"
#include "windows/about_box.h"
#include "windows/entry_dialogs.h"
#include "windows/error_box.h"
#include "windows/file_filter.h"
#include "windows/history_view.h"
#include "windows/message_box.h"
#include "windows/status_line.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

#include <stdexcept>

namespace kv::windows {
namespace {

QString toQt(const std::string& text) { return QString::fromStdString(text); }
std::string fromQt(const QString& text) { return text.toStdString(); }

std::logic_error notSupported(std::string_view control, const char* what) {
    return std::logic_error("\"" + std::string(control) + "\" has no " + what);
}

// Hints are kept in properties of their own so that switching them off keeps the text.
constexpr const char* kHint = "kvHint";
constexpr const char* kShowHint = "kvShowHint";

}  // namespace

TForm1::TForm1(std::string programDirectory, ui::Handlers handlers, QWidget* parent)
    : QMainWindow(parent), handlers_(std::move(handlers)), programDirectory_(std::move(programDirectory)) {
    setObjectName("TForm1");
    buildMenu();
    buildPages();
    buildDialogs();
    registerObjects();
    connectEvents();
    resize(390, 303);
    move(575, 452);
    runGuarded([this] { shell::FormCreate(*this); });
}

TForm1::~TForm1() { setScreenCursor(ui::ScreenCursor::Normal); }

QObject* TForm1::object(std::string_view control) const {
    ui::requireControl(control);
    return objects_.find(control)->second;
}

template <typename Widget>
Widget* TForm1::widget(std::string_view control) const {
    auto* result = qobject_cast<Widget*>(object(control));
    if (!result) throw std::logic_error("\"" + std::string(control) + "\" is not of the kind asked for");
    return result;
}

QFileDialog* TForm1::fileDialog(std::string_view name) const {
    ui::requireDialog(name);
    return dialogs_.find(name)->second;
}

void TForm1::setEnabled(std::string_view control, bool enabled) { object(control)->setProperty("enabled", enabled); }

bool TForm1::isEnabled(std::string_view control) const { return object(control)->property("enabled").toBool(); }

void TForm1::setVisible(std::string_view control, bool visible) { object(control)->setProperty("visible", visible); }

bool TForm1::isVisible(std::string_view control) const {
    QObject* found = object(control);
    // A control counts as visible when it would show with the window, as its own flag says.
    if (auto* child = qobject_cast<QWidget*>(found); child && child != this) return child->isVisibleTo(this);
    return found->property("visible").toBool();
}

void TForm1::setText(std::string_view control, const std::string& text) {
    const QString value = toQt(text);
    switch (ui::requireControl(control).kind) {
    case ui::ControlKind::Window: setWindowTitle(value); break;
    case ui::ControlKind::MenuItem: widget<QAction>(control)->setText(value); break;
    case ui::ControlKind::TabSheet: pages_->setTabText(pages_->indexOf(widget<QWidget>(control)), value); break;
    case ui::ControlKind::Label: widget<QLabel>(control)->setText(value); break;
    case ui::ControlKind::Edit: widget<QLineEdit>(control)->setText(value); break;
    case ui::ControlKind::Button: widget<QPushButton>(control)->setText(value); break;
    case ui::ControlKind::StatusBar: statusLine_->setStatus(value); break;
    default: throw std::logic_error("The text of \"" + std::string(control) + "\" cannot be set");
    }
}

std::string TForm1::text(std::string_view control) const {
    switch (ui::requireControl(control).kind) {
    case ui::ControlKind::Window: return fromQt(windowTitle());
    case ui::ControlKind::MenuItem: return fromQt(widget<QAction>(control)->text());
    case ui::ControlKind::TabSheet: return fromQt(pages_->tabText(pages_->indexOf(widget<QWidget>(control))));
    case ui::ControlKind::Label: return fromQt(widget<QLabel>(control)->text());
    case ui::ControlKind::Edit: return fromQt(widget<QLineEdit>(control)->text());
    case ui::ControlKind::Button: return fromQt(widget<QPushButton>(control)->text());
    case ui::ControlKind::ComboBox: return fromQt(widget<QComboBox>(control)->currentText());
    case ui::ControlKind::StatusBar: return fromQt(statusLine_->text());
    default: throw notSupported(control, "text");
    }
}

void TForm1::setHint(std::string_view control, const std::string& hint) {
    object(control)->setProperty(kHint, toQt(hint));
    refreshToolTip(object(control));
}

std::string TForm1::hint(std::string_view control) const { return fromQt(object(control)->property(kHint).toString()); }

void TForm1::setShowHint(std::string_view control, bool show) {
    object(control)->setProperty(kShowHint, show);
    refreshToolTip(object(control));
}

bool TForm1::showHint(std::string_view control) const { return object(control)->property(kShowHint).toBool(); }

void TForm1::refreshToolTip(QObject* control) {
    const bool show = control->property(kShowHint).toBool();
    control->setProperty("toolTip", show ? control->property(kHint).toString() : QString());
}

void TForm1::clearItems(std::string_view list) { widget<QComboBox>(list)->clear(); }

void TForm1::addItem(std::string_view list, const std::string& text, std::optional<ui::ContestRecord> record) {
    QVariant data;
    if (record) data = QStringList{toQt(record->contestNr), toQt(record->contestName)};
    auto* box = widget<QComboBox>(list);
    // A drop-down list shows no entry until one is picked or shown as current.
    const bool wasEmpty = box->count() == 0;
    box->addItem(toQt(text), data);
    if (wasEmpty) box->setCurrentIndex(-1);
}

std::vector<std::string> TForm1::items(std::string_view list) const {
    auto* box = widget<QComboBox>(list);
    std::vector<std::string> texts;
    for (int i = 0; i < box->count(); ++i) texts.push_back(fromQt(box->itemText(i)));
    return texts;
}

std::optional<ui::ContestRecord> TForm1::itemRecord(std::string_view list, int index) const {
    auto* box = widget<QComboBox>(list);
    if (index < 0 || index >= box->count())
        throw std::logic_error("\"" + std::string(list) + "\" has no entry " + std::to_string(index));
    const QStringList data = box->itemData(index).toStringList();
    if (data.size() != 2) return std::nullopt;
    return ui::ContestRecord{fromQt(data[0]), fromQt(data[1])};
}

void TForm1::setItemIndex(std::string_view list, int index) {
    auto* box = widget<QComboBox>(list);
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

int TForm1::itemIndex(std::string_view list) const { return widget<QComboBox>(list)->currentIndex(); }

void TForm1::showProgress() {
    auto* bar = widget<QProgressBar>("ProgressBar1");
    bar->setRange(progress_.minimum(), progress_.maximum());
    bar->setValue(progress_.position());
}

void TForm1::setProgressRange(int minimum, int maximum) {
    progress_.setRange(minimum, maximum);
    showProgress();
}

void TForm1::setProgressPosition(int position) {
    progress_.setPosition(position);
    showProgress();
}

void TForm1::setProgressStep(int step) { progress_.setStep(step); }

void TForm1::stepProgress() {
    progress_.stepIt();
    showProgress();
}

ui::BoxAnswer TForm1::showMessageBox(const std::string& text, ui::BoxKind kind, ui::BoxButtons buttons) {
    const bool information = kind == ui::BoxKind::Information;
    return windows::showMessageBox(information ? "Information" : "Error", toQt(text),
                                   information ? QStyle::SP_MessageBoxInformation : QStyle::SP_MessageBoxCritical,
                                   buttons);
}

void TForm1::setDialogFilter(std::string_view dialog, const std::string& filter) {
    fileDialog(dialog)->setNameFilters(toQtNameFilters(toQt(filter)));
}

void TForm1::setDialogDefaultExt(std::string_view dialog, const std::string& extension) {
    QString suffix = toQt(extension);
    if (suffix.startsWith('.')) suffix.remove(0, 1);
    fileDialog(dialog)->setDefaultSuffix(suffix);
}

std::optional<std::string> TForm1::executeDialog(std::string_view dialog) {
    QFileDialog* shown = fileDialog(dialog);
    if (shown->exec() != QDialog::Accepted || shown->selectedFiles().isEmpty()) return std::nullopt;
    return fromQt(shown->selectedFiles().first());
}

std::vector<std::string> TForm1::executeFilesDialog(std::string_view dialog) {
    QFileDialog* shown = fileDialog(dialog);
    std::vector<std::string> chosen;
    if (shown->exec() != QDialog::Accepted) return chosen;
    for (const QString& file : shown->selectedFiles()) chosen.push_back(fromQt(file));
    return chosen;
}

std::optional<std::string> TForm1::askDate(const std::string& prompt, const std::string& initial) {
    return askDateDialog(this, prompt, initial);
}

std::optional<std::size_t> TForm1::chooseEntry(const std::string& prompt, const std::vector<std::string>& entries) {
    return chooseEntryDialog(this, prompt, entries);
}

void TForm1::attachWindows(TAboutBox1& aboutBox, TForm_showHist& historyView) {
    aboutBox_ = &aboutBox;
    historyView_ = &historyView;
}

void TForm1::showHistoryView(const std::string& caption, ui::GridRows& rows) {
    if (!historyView_) throw std::logic_error("The History view is not attached to the main window");
    historyView_->showModal(toQt(caption), rows);
}

void TForm1::showAboutBox(const ui::AboutBoxContent& content) {
    if (!aboutBox_) throw std::logic_error("The About window is not attached to the main window");
    aboutBox_->showModal(content);
}

void TForm1::setScreenCursor(ui::ScreenCursor cursor) {
    if (cursor == cursor_) return;
    if (cursor == ui::ScreenCursor::Hourglass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    cursor_ = cursor;
}

void TForm1::requestTerminate() {
    terminateRequested_ = true;
    // Queued, so that the handler asking for the end finishes first; before the event loop runs
    // the request waits for it.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

void TForm1::closeEvent(QCloseEvent* event) {
    requestTerminate();
    QMainWindow::closeEvent(event);
}

}  // namespace kv::windows
