#pragma once
// A scripted stand-in for the main window. It keeps the state of every control the real window
// has (all enabled, visible and empty at first, so that a test sees what an operation changed),
// answers message boxes and file dialogs from a script given in advance, and fails the running
// test on a box or dialog the script did not expect, and on a scripted one that never came.

#include "ui/headless_ui.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kv::ui::testing {

class FakeUi : public HeadlessUi {
public:
    explicit FakeUi(std::string programDirectory = "/program/");
    ~FakeUi() override;

    // The script, in the order the boxes and dialogs are to appear.
    void expectMessageBox(std::string text, BoxKind kind, BoxButtons buttons, BoxAnswer answer);
    // No chosen file: the user cancels the dialog.
    void expectDialog(std::string dialog, std::optional<std::string> chosenFile);

    // What the operations did.
    const std::vector<std::string>& statusHistory() const { return statusHistory_; }
    bool terminateRequested() const { return terminateRequested_; }

    BoxAnswer showMessageBox(const std::string& text, BoxKind kind, BoxButtons buttons) override;
    std::optional<std::string> executeDialog(std::string_view dialog) override;
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
    struct Expected {
        std::optional<ExpectedBox> box;
        std::optional<ExpectedDialog> dialog;
    };

    std::deque<Expected> script_;
    std::vector<std::string> statusHistory_;
    bool terminateRequested_ = false;
};

// How a test names the values in its failure messages.
const char* describe(BoxKind kind);
const char* describe(BoxButtons buttons);

} // namespace kv::ui::testing
