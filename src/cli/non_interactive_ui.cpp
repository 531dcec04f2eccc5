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

void NonInteractiveUi::statusChanged(const std::string& text) {
    messages_ << "status: " << text << '\n';
}

} // namespace kv::cli
