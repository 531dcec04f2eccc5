#pragma once
// A scripted stand-in for the main window. It keeps the state of every control the real window
// has (all enabled, visible and empty at first, so that a test sees what an operation changed),
// answers message boxes and file dialogs from a script given in advance, plays the user of the
// History view and the About window from it, and fails the running test on a box, dialog or
// window the script did not expect, and on a scripted one that never came.

#include "ui/headless_ui.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kv::ui::testing {

class FakeUi : public HeadlessUi {
public:
    // What the user does while the History view is up. The view closes when it returns, writing a
    // pending change as the window's closing does; a refusal escapes as the exception the window
    // would show.
    using HistoryViewUser = std::function<void(const std::string& caption, GridRows& rows)>;
    // Looks at what the About window was given; it closes when this returns.
    using AboutBoxCheck = std::function<void(const AboutBoxContent& content)>;

    explicit FakeUi(std::string programDirectory = "/program/");
    ~FakeUi() override;

    // The script, in the order the boxes, dialogs and windows are to appear.
    void expectMessageBox(std::string text, BoxKind kind, BoxButtons buttons, BoxAnswer answer);
    // No chosen file: the user cancels the dialog.
    void expectDialog(std::string dialog, std::optional<std::string> chosenFile);
    // A dialog of several files; none chosen: the user cancels.
    void expectFilesDialog(std::string dialog, std::vector<std::string> chosenFiles);
    // The date dialog under `prompt`, starting at `initial` (checked only when given); the text
    // the user confirms, or none: they cancel.
    void expectDateDialog(std::string prompt, std::optional<std::string> answer,
                          std::optional<std::string> initial = std::nullopt);
    // The list of entries under `prompt`, which must be exactly `entries`; the index chosen, or
    // none: the user cancels.
    void expectEntryChoice(std::string prompt, std::vector<std::string> entries, std::optional<std::size_t> answer);
    void expectHistoryView(HistoryViewUser user);
    void expectAboutBox(AboutBoxCheck check);

    // What the operations did.
    const std::vector<std::string>& statusHistory() const { return statusHistory_; }
    bool terminateRequested() const { return terminateRequested_; }

    BoxAnswer showMessageBox(const std::string& text, BoxKind kind, BoxButtons buttons) override;
    std::optional<std::string> executeDialog(std::string_view dialog) override;
    std::vector<std::string> executeFilesDialog(std::string_view dialog) override;
    std::optional<std::string> askDate(const std::string& prompt, const std::string& initial) override;
    std::optional<std::size_t> chooseEntry(const std::string& prompt, const std::vector<std::string>& entries) override;
    void showHistoryView(const std::string& caption, GridRows& rows) override;
    void showAboutBox(const AboutBoxContent& content) override;
    void requestTerminate() override { terminateRequested_ = true; }

protected:
    void statusChanged(const std::string& text) override { statusHistory_.push_back(text); }

private:
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
    struct ExpectedFilesDialog {
        std::string dialog;
        std::vector<std::string> chosenFiles;
    };
    struct ExpectedDate {
        std::string prompt;
        std::optional<std::string> answer;
        std::optional<std::string> initial;
    };
    struct ExpectedChoice {
        std::string prompt;
        std::vector<std::string> entries;
        std::optional<std::size_t> answer;
    };
    struct ExpectedView {
        HistoryViewUser user;
    };
    struct ExpectedAbout {
        AboutBoxCheck check;
    };
    using Expected = std::variant<ExpectedBox, ExpectedDialog, ExpectedFilesDialog, ExpectedDate, ExpectedChoice,
                                  ExpectedView, ExpectedAbout>;

    // The script's next step when it is of this kind, else nullptr.
    template <typename Step>
    Step* next();
    // The next step when it is a dialog of this kind named `name`, taken off the script; else
    // the test fails and there is none.
    template <typename Step>
    std::optional<Step> nextDialog(std::string_view name);

    std::deque<Expected> script_;
    std::vector<std::string> statusHistory_;
    bool terminateRequested_ = false;
};

// How a test names the values in its failure messages.
const char* describe(BoxKind kind);
const char* describe(BoxButtons buttons);

}  // namespace kv::ui::testing
