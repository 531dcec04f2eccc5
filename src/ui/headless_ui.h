#pragma once
// The main window's state without a screen: every control, list, file dialog setting, the
// progress bar, the screen cursor, the Application state and the program directory, kept in
// memory. It obeys the same rules as the window: every control starts enabled, visible and
// empty; a name the window lacks, or a use its kind lacks, throws std::logic_error.
//
// What a user would answer (message boxes, file dialogs) and what ending the program means are
// left to the subclass: the tests' scripted fake and the command-line program differ there. The
// History view and the About window close as soon as they open here: nothing is changed.

#include "ui/ui.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv::ui {

class HeadlessUi : public Ui {
public:
    explicit HeadlessUi(std::string programDirectory);

    // What the operations set on a file dialog before showing it.
    std::string dialogFilter(std::string_view dialog) const;
    std::string dialogDefaultExt(std::string_view dialog) const;

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
    void addItem(std::string_view list, const std::string& text, std::optional<ContestRecord> record) override;
    std::vector<std::string> items(std::string_view list) const override;
    std::optional<ContestRecord> itemRecord(std::string_view list, int index) const override;
    void setItemIndex(std::string_view list, int index) override;
    int itemIndex(std::string_view list) const override;

    void setProgressRange(int minimum, int maximum) override;
    void setProgressPosition(int position) override;
    void setProgressStep(int step) override;
    void stepProgress() override;
    ProgressState progress() const override { return progress_; }

    void setDialogFilter(std::string_view dialog, const std::string& filter) override;
    void setDialogDefaultExt(std::string_view dialog, const std::string& extension) override;

    void showHistoryView(const std::string&, GridRows&) override {}
    void showAboutBox(const AboutBoxContent&) override {}

    ScreenCursor screenCursor() const override { return cursor_; }
    void setScreenCursor(ScreenCursor cursor) override { cursor_ = cursor; }

    ApplicationState& state() override { return state_; }
    const std::string& programDirectory() const override { return programDirectory_; }

protected:
    // Called with each text the status line is given, after it is kept; the status line is
    // where the operations tell what they did, so every subclass has a use for it.
    virtual void statusChanged(const std::string& text) = 0;

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

    Control& control(std::string_view name);
    const Control& control(std::string_view name) const;
    Control& list(std::string_view name);
    const Control& list(std::string_view name) const;
    Dialog& dialog(std::string_view name);
    const Dialog& dialog(std::string_view name) const;

    std::map<std::string, Control, std::less<>> controls_;
    std::map<std::string, Dialog, std::less<>> dialogs_;
    ProgressState progress_;
    ScreenCursor cursor_ = ScreenCursor::Normal;
    ApplicationState state_;
    std::string programDirectory_;
};

}  // namespace kv::ui
