#include "cli/non_interactive_ui.h"

#include "ui/controls.h"

namespace kv::cli {

NonInteractiveUi::NonInteractiveUi(std::string programDirectory, Answers answers, std::ostream& messages)
    : HeadlessUi(std::move(programDirectory)), answers_(std::move(answers)), messages_(messages) {}

ui::BoxAnswer NonInteractiveUi::showMessageBox(const std::string& text, ui::BoxKind, ui::BoxButtons buttons) {
    messages_ << text << '\n';
    if (buttons == ui::BoxButtons::YesNo) return answerQuestion();
    refused_ = true;
    return ui::BoxAnswer::Ok;
}

ui::BoxAnswer NonInteractiveUi::answerQuestion() {
    if (answers_.confirmed) {
        messages_ << "Answered Yes (" << answers_.confirmingOption << ")\n";
        return ui::BoxAnswer::Yes;
    }
    refused_ = true;
    messages_ << "Answered No";
    if (!answers_.confirmingOption.empty()) messages_ << "; " << answers_.confirmingOption << " answers Yes";
    messages_ << '\n';
    return ui::BoxAnswer::No;
}

std::optional<std::string> NonInteractiveUi::executeDialog(std::string_view dialog) {
    ui::requireDialog(dialog);
    auto chosen = answers_.files.find(dialog);
    if (chosen != answers_.files.end()) return chosen->second;
    refused_ = true;
    messages_ << "No file was given for " << dialog << ", so it was cancelled\n";
    return std::nullopt;
}

void NonInteractiveUi::refuse(const std::string& message) {
    messages_ << message << '\n';
    refused_ = true;
}

void NonInteractiveUi::answerDialog(std::string_view dialog, std::string file) {
    ui::requireDialog(dialog);
    answers_.files[std::string(dialog)] = std::move(file);
}

void NonInteractiveUi::stepProgress() {
    HeadlessUi::stepProgress();
    if (!answers_.showProgress) return;
    const ui::ProgressState bar = progress();
    const int span = bar.maximum() - bar.minimum();
    const int percent = span > 0 ? 100 * (bar.position() - bar.minimum()) / span : 100;
    messages_ << "\rprogress: " << percent << "%" << std::flush;
    progressShown_ = true;
}

// The line the percentage was rewriting ends with the bar.
void NonInteractiveUi::setVisible(std::string_view control, bool visible) {
    HeadlessUi::setVisible(control, visible);
    if (control == "ProgressBar1" && !visible && progressShown_) {
        messages_ << '\n';
        progressShown_ = false;
    }
}

void NonInteractiveUi::statusChanged(const std::string& text) { messages_ << "status: " << text << '\n'; }

}  // namespace kv::cli
