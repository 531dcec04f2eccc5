#include "fake_ui.h"

#include "ui/controls.h"

#include <gtest/gtest.h>

namespace kv::ui::testing {

const char* describe(BoxKind kind) {
    return kind == BoxKind::Information ? "information" : "error";
}

const char* describe(BoxButtons buttons) {
    return buttons == BoxButtons::Ok ? "OK" : "Yes/No";
}

FakeUi::FakeUi(std::string programDirectory) : HeadlessUi(std::move(programDirectory)) {}

FakeUi::~FakeUi() {
    for (const Expected& expected : script_) {
        if (expected.box)
            ADD_FAILURE() << "Scripted message box never shown: \"" << expected.box->text << "\"";
        else
            ADD_FAILURE() << "Scripted file dialog never shown: " << expected.dialog->dialog;
    }
}

void FakeUi::expectMessageBox(std::string text, BoxKind kind, BoxButtons buttons, BoxAnswer answer) {
    script_.push_back({ExpectedBox{std::move(text), kind, buttons, answer}, std::nullopt});
}

void FakeUi::expectDialog(std::string dialog, std::optional<std::string> chosenFile) {
    requireDialog(dialog);
    script_.push_back({std::nullopt, ExpectedDialog{std::move(dialog), std::move(chosenFile)}});
}

BoxAnswer FakeUi::showMessageBox(const std::string& text, BoxKind kind, BoxButtons buttons) {
    if (script_.empty() || !script_.front().box || script_.front().box->text != text ||
        script_.front().box->kind != kind || script_.front().box->buttons != buttons) {
        ADD_FAILURE() << "Unexpected " << describe(kind) << " box (" << describe(buttons) << "): \""
                      << text << "\"";
        return BoxAnswer::None;
    }
    BoxAnswer answer = script_.front().box->answer;
    script_.pop_front();
    return answer;
}

std::optional<std::string> FakeUi::executeDialog(std::string_view name) {
    requireDialog(name);
    if (script_.empty() || !script_.front().dialog || script_.front().dialog->dialog != name) {
        ADD_FAILURE() << "Unexpected file dialog: " << name;
        return std::nullopt;
    }
    std::optional<std::string> chosen = script_.front().dialog->chosenFile;
    script_.pop_front();
    return chosen;
}

} // namespace kv::ui::testing
