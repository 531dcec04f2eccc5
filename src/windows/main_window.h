#pragma once
// The main window `TForm1`: every control, menu item and file dialog of the program, each
// widget named by its control name, and the Ui port through which the operations reach them.
// Every event runs its operation from the handler table under the standard error box's guard.

#include "ui/handlers.h"
#include "ui/ui.h"

#include <QMainWindow>

#include <map>
#include <string>

class QFileDialog;
class QTabWidget;

namespace kv::windows {

class StatusLine;
class TAboutBox1;
class TForm_showHist;

class TForm1 final : public QMainWindow, public ui::Ui {
    Q_OBJECT
public:
    // Runs the start-up (FormCreate) before returning; the window is not shown.
    TForm1(std::string programDirectory, ui::Handlers handlers, QWidget* parent = nullptr);
    ~TForm1() override;

    // The widget's own members of these names stay reachable beside the port's.
    using QMainWindow::isEnabled;
    using QMainWindow::isVisible;
    using QMainWindow::setEnabled;
    using QMainWindow::setVisible;

    bool terminateRequested() const { return terminateRequested_; }
    QFileDialog* fileDialog(std::string_view name) const;
    // The windows that showAboutBox and showHistoryView present; the program attaches them once
    // they exist. Without them those calls throw std::logic_error.
    void attachWindows(TAboutBox1& aboutBox, TForm_showHist& historyView);

    void setEnabled(std::string_view control, bool enabled) override;
    bool isEnabled(std::string_view control) const override;
    void setVisible(std::string_view control, bool visible) override;
    bool isVisible(std::string_view control) const override;
    void setText(std::string_view control, const std::string& text) override;
    std::string text(std::string_view control) const override;
    void setHint(std::string_view control, const std::string& hint) override;
    std::string hint(std::string_view control) const override;
    void setShowHint(std::string_view control, bool show) override;
    bool showHint(std::string_view control) const override;

    void clearItems(std::string_view list) override;
    void addItem(std::string_view list, const std::string& text, std::optional<ui::ContestRecord> record) override;
    std::vector<std::string> items(std::string_view list) const override;
    std::optional<ui::ContestRecord> itemRecord(std::string_view list, int index) const override;
    void setItemIndex(std::string_view list, int index) override;
    int itemIndex(std::string_view list) const override;

    void setProgressRange(int minimum, int maximum) override;
    void setProgressPosition(int position) override;
    void setProgressStep(int step) override;
    void stepProgress() override;
    ui::ProgressState progress() const override { return progress_; }

    ui::BoxAnswer showMessageBox(const std::string& text, ui::BoxKind kind, ui::BoxButtons buttons) override;

    void setDialogFilter(std::string_view dialog, const std::string& filter) override;
    void setDialogDefaultExt(std::string_view dialog, const std::string& extension) override;
    std::optional<std::string> executeDialog(std::string_view dialog) override;
    std::vector<std::string> executeFilesDialog(std::string_view dialog) override;

    std::optional<std::string> askDate(const std::string& prompt, const std::string& initial) override;
    std::optional<std::size_t> chooseEntry(const std::string& prompt, const std::vector<std::string>& entries) override;
    void showHistoryView(const std::string& caption, ui::GridRows& rows) override;
    void showAboutBox(const ui::AboutBoxContent& content) override;

    ui::ScreenCursor screenCursor() const override { return cursor_; }
    void setScreenCursor(ui::ScreenCursor cursor) override;

    ui::ApplicationState& state() override { return state_; }
    const std::string& programDirectory() const override { return programDirectory_; }
    void requestTerminate() override;

protected:
    // Closing by the frame ends the program without closing the History database.
    void closeEvent(QCloseEvent* event) override;

private:
    // main_window_layout.cpp: the widgets, menus and dialogs, and the events they send.
    void buildMenu();
    void buildPages();
    void buildDialogs();
    void connectEvents();
    void dispatch(ui::Event event);
    void registerObjects();

    QObject* object(std::string_view control) const;
    template <typename Widget>
    Widget* widget(std::string_view control) const;
    void refreshToolTip(QObject* control);
    void showProgress();

    ui::Handlers handlers_;
    QTabWidget* pages_ = nullptr;
    StatusLine* statusLine_ = nullptr;
    std::map<std::string, QObject*, std::less<>> objects_;
    std::map<std::string, QFileDialog*, std::less<>> dialogs_;
    TAboutBox1* aboutBox_ = nullptr;
    TForm_showHist* historyView_ = nullptr;
    ui::ApplicationState state_;
    ui::ProgressState progress_;
    ui::ScreenCursor cursor_ = ui::ScreenCursor::Normal;
    std::string programDirectory_;
    bool terminateRequested_ = false;
};

}  // namespace kv::windows
