#pragma once
// The Ui of kestrovane-cli: the window's state kept in memory, and the user's part played from
// answers given in advance. A file dialog gets the file given for it; a Yes/No question gets Yes
// only when the confirming option was given; a box with OK (information or error) is shown by
// printing it. Everything the window would show goes to `messages`: a box's or question's text
// as the window shows it, a status text after "status: ", and what was answered.
//
// A box with OK tells of a refusal or a failure, and a question answered No or a dialog without
// a file stops the operation short; after any of these the run has not done what it says.
//
// On a terminal the progress bar shows as a percentage that rewrites itself on one line.

#include "ui/headless_ui.h"

#include <map>
#include <ostream>
#include <string>

namespace kv::cli {

struct Answers {
    // The full path chosen in each file dialog, by the dialog's name.
    std::map<std::string, std::string, std::less<>> files{};
    // The option that answers Yes ("--replace"); empty when the subcommand has none.
    std::string confirmingOption{};
    bool confirmed = false;
    // Whether `messages` is a terminal, where progress can be shown.
    bool showProgress = false;
};

class NonInteractiveUi final : public ui::HeadlessUi {
public:
    NonInteractiveUi(std::string programDirectory, Answers answers, std::ostream& messages);

    bool refused() const { return refused_; }
    // What the user chose by the command line instead of in a list: told like a box with OK.
    void refuse(const std::string& message);
    // The file the dialog of that name is to answer with (a full path).
    void answerDialog(std::string_view dialog, std::string file);

    ui::BoxAnswer showMessageBox(const std::string& text, ui::BoxKind kind, ui::BoxButtons buttons) override;
    std::optional<std::string> executeDialog(std::string_view dialog) override;
    // The program ends when its one operation has run, whoever asks.
    void requestTerminate() override {}
    void setVisible(std::string_view control, bool visible) override;
    void stepProgress() override;

protected:
    void statusChanged(const std::string& text) override;

private:
    ui::BoxAnswer answerQuestion();

    Answers answers_;
    std::ostream& messages_;
    bool refused_ = false;
    bool progressShown_ = false;
};

}  // namespace kv::cli
