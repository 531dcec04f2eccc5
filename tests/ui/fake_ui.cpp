#include "fake_ui.h"

#include "ui/controls.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace kv::ui::testing {

const char* describe(BoxKind kind) { return kind == BoxKind::Information ? "information" : "error"; }

const char* describe(BoxButtons buttons) { return buttons == BoxButtons::Ok ? "OK" : "Yes/No"; }

FakeUi::FakeUi(std::string programDirectory) : HeadlessUi(std::move(programDirectory)) {}

FakeUi::~FakeUi() {
    for (const Expected& expected : script_) {
        std::visit(
            [](const auto& step) {
                using Step = std::decay_t<decltype(step)>;
                if constexpr (std::is_same_v<Step, ExpectedBox>)
                    ADD_FAILURE() << "Scripted message box never shown: \"" << step.text << "\"";
                else if constexpr (std::is_same_v<Step, ExpectedDialog> || std::is_same_v<Step, ExpectedFilesDialog>)
                    ADD_FAILURE() << "Scripted file dialog never shown: " << step.dialog;
                else if constexpr (std::is_same_v<Step, ExpectedDate>)
                    ADD_FAILURE() << "Scripted date dialog never shown: \"" << step.prompt << "\"";
                else if constexpr (std::is_same_v<Step, ExpectedChoice>)
                    ADD_FAILURE() << "Scripted list of entries never shown: \"" << step.prompt << "\"";
                else if constexpr (std::is_same_v<Step, ExpectedView>)
                    ADD_FAILURE() << "Scripted History view never shown";
                else
                    ADD_FAILURE() << "Scripted About window never shown";
            },
            expected);
    }
}

template <typename Step>
Step* FakeUi::next() {
    return script_.empty() ? nullptr : std::get_if<Step>(&script_.front());
}

void FakeUi::expectMessageBox(std::string text, BoxKind kind, BoxButtons buttons, BoxAnswer answer) {
    script_.push_back(ExpectedBox{std::move(text), kind, buttons, answer});
}

void FakeUi::expectDialog(std::string dialog, std::optional<std::string> chosenFile) {
    requireDialog(dialog);
    script_.push_back(ExpectedDialog{std::move(dialog), std::move(chosenFile)});
}

void FakeUi::expectFilesDialog(std::string dialog, std::vector<std::string> chosenFiles) {
    requireDialog(dialog);
    script_.push_back(ExpectedFilesDialog{std::move(dialog), std::move(chosenFiles)});
}

void FakeUi::expectDateDialog(std::string prompt, std::optional<std::string> answer,
                              std::optional<std::string> initial) {
    script_.push_back(ExpectedDate{std::move(prompt), std::move(answer), std::move(initial)});
}

void FakeUi::expectEntryChoice(std::string prompt, std::vector<std::string> entries,
                               std::optional<std::size_t> answer) {
    script_.push_back(ExpectedChoice{std::move(prompt), std::move(entries), answer});
}

void FakeUi::expectHistoryView(HistoryViewUser user) { script_.push_back(ExpectedView{std::move(user)}); }

void FakeUi::expectAboutBox(AboutBoxCheck check) { script_.push_back(ExpectedAbout{std::move(check)}); }

BoxAnswer FakeUi::showMessageBox(const std::string& text, BoxKind kind, BoxButtons buttons) {
    const ExpectedBox* box = next<ExpectedBox>();
    if (!box || box->text != text || box->kind != kind || box->buttons != buttons) {
        ADD_FAILURE() << "Unexpected " << describe(kind) << " box (" << describe(buttons) << "): \"" << text << "\"";
        return BoxAnswer::None;
    }
    const BoxAnswer answer = box->answer;
    script_.pop_front();
    return answer;
}

template <typename Step>
std::optional<Step> FakeUi::nextDialog(std::string_view name) {
    requireDialog(name);
    Step* dialog = next<Step>();
    if (!dialog || dialog->dialog != name) {
        ADD_FAILURE() << "Unexpected file dialog: " << name;
        return std::nullopt;
    }
    Step step = std::move(*dialog);
    script_.pop_front();
    return step;
}

std::optional<std::string> FakeUi::executeDialog(std::string_view name) {
    const std::optional<ExpectedDialog> dialog = nextDialog<ExpectedDialog>(name);
    return dialog ? dialog->chosenFile : std::nullopt;
}

std::vector<std::string> FakeUi::executeFilesDialog(std::string_view name) {
    const std::optional<ExpectedFilesDialog> dialog = nextDialog<ExpectedFilesDialog>(name);
    return dialog ? dialog->chosenFiles : std::vector<std::string>{};
}

std::optional<std::string> FakeUi::askDate(const std::string& prompt, const std::string& initial) {
    const ExpectedDate* date = next<ExpectedDate>();
    if (!date || date->prompt != prompt || (date->initial && *date->initial != initial)) {
        ADD_FAILURE() << "Unexpected date dialog: \"" << prompt << "\" at " << initial;
        return std::nullopt;
    }
    std::optional<std::string> answer = date->answer;
    script_.pop_front();
    return answer;
}

std::optional<std::size_t> FakeUi::chooseEntry(const std::string& prompt, const std::vector<std::string>& entries) {
    const ExpectedChoice* choice = next<ExpectedChoice>();
    if (!choice || choice->prompt != prompt || choice->entries != entries) {
        std::string shown;
        for (const std::string& entry : entries) shown += "\n  " + entry;
        ADD_FAILURE() << "Unexpected list of entries: \"" << prompt << "\"" << shown;
        return std::nullopt;
    }
    const std::optional<std::size_t> answer = choice->answer;
    script_.pop_front();
    return answer;
}

void FakeUi::showHistoryView(const std::string& caption, GridRows& rows) {
    ExpectedView* view = next<ExpectedView>();
    if (!view) {
        ADD_FAILURE() << "Unexpected History view: \"" << caption << "\"";
        return;
    }
    // Off the script first: what the user does in the view may show boxes of its own.
    const HistoryViewUser user = std::move(view->user);
    script_.pop_front();
    user(caption, rows);
    rows.write();
}

void FakeUi::showAboutBox(const AboutBoxContent& content) {
    ExpectedAbout* about = next<ExpectedAbout>();
    if (!about) {
        ADD_FAILURE() << "Unexpected About window";
        return;
    }
    const AboutBoxCheck check = std::move(about->check);
    script_.pop_front();
    check(content);
}

}  // namespace kv::ui::testing
