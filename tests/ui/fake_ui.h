#pragma once
// A scripted stand-in for the main window. It keeps the state of every control the real window
// has (all enabled, visible and empty at first, so that a test sees what an operation changed),
// answers message boxes and file dialogs from a script given in advance, and fails the running
// test on a box or dialog the script did not expect, and on a scripted one that never came.

#include "ui/ui.h"

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kv::ui::testing {

class FakeUi : public Ui {
public:
    explicit FakeUi(std::string programDirectory = "/program/");
    ~FakeUi() override;

    // The script, in the order the boxes and dialogs are to appear.
    void expectMessageBox(std::string text, BoxKind kind, BoxButtons buttons, BoxAnswer answer);
    // No chosen file: the user cancels the dialog.
    void expectDialog(std::string dialog, std::optional<std::string> chosenFile);

    // What the operations did.
    const std::vector<std::string>& statusHistory() const { return statusHistory_; }
    std::string dialogFilter(std::string_view dialog) const;
    std::string dialogDefaultExt(std::string_view dialog) const;
    bool terminateRequested() const { return terminateRequested_; }

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
    void addItem(std::string_view list, const std::string& text,
                 std::optional<ContestRecord> record) override;
    std::vector<std::string> items(std::string_view list) const override;
    std::optional<ContestRecord> itemRecord(std::string_view list, int index) const override;
    void setItemIndex(std::string_view list, int index) override;
    int itemIndex(std::string_view list) const override;

    void setProgressRange(int minimum, int maximum) override;
    void setProgressPosition(int position) override;
    void setProgressStep(int step) override;
    void stepProgress() override;
    ProgressState progress() const override { return progress_; }

    BoxAnswer showMessageBox(const std::string& text, BoxKind kind, BoxButtons buttons) override;

    void setDialogFilter(std::string_view dialog, const std::string& filter) override;
    void setDialogDefaultExt(std::string_view dialog, const std::string& extension) override;
    std::optional<std::string> executeDialog(std::string_view dialog) override;

    ScreenCursor screenCursor() const override { return cursor_; }
    void setScreenCursor(ScreenCursor cursor) override { cursor_ = cursor; }

    ApplicationState& state() override { return state_; }
    const std::string& programDirectory() const override { return programDirectory_; }
    void requestTerminate() override { terminateRequested_ = true; }

private:
    struct Item {
        std::string text;
        std::optional<ContestRecord> record;
    };
    struct Control {
        bool enabled = true;
        bool visible = true;
        std::string text;
        std::string hint;
        bool showHint = false;
        std::vector<Item> items;
        int itemIndex = -1;
    };
    struct Dialog {
        std::string filter;
        std::string defaultExt;
    };
    struct ExpectedBox {
        std::string text;
        BoxKind kind;
        BoxButtons buttons;
        BoxAnswer answer;
    };
    struct ExpectedDialog {
        std::string dialog;
        std::optional<std::string> chosenFile;
    };
    struct Expected {
        std::optional<ExpectedBox> box;
        std::optional<ExpectedDialog> dialog;
    };

    Control& control(std::string_view name);
    const Control& control(std::string_view name) const;
    Control& list(std::string_view name);
    const Control& list(std::string_view name) const;
    Dialog& dialog(std::string_view name);

    std::map<std::string, Control, std::less<>> controls_;
    std::map<std::string, Dialog, std::less<>> dialogs_;
    std::deque<Expected> script_;
    std::vector<std::string> statusHistory_;
    ProgressState progress_;
    ScreenCursor cursor_ = ScreenCursor::Normal;
    ApplicationState state_;
    std::string programDirectory_;
    bool terminateRequested_ = false;
};

// How a test names the values in its failure messages.
const char* describe(BoxKind kind);
const char* describe(BoxButtons buttons);

} // namespace kv::ui::testing
