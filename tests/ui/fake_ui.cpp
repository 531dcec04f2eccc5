#include "fake_ui.h"

#include "ui/controls.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kv::ui::testing {

const char* describe(BoxKind kind) {
    return kind == BoxKind::Information ? "information" : "error";
}

const char* describe(BoxButtons buttons) {
    return buttons == BoxButtons::Ok ? "OK" : "Yes/No";
}

FakeUi::FakeUi(std::string programDirectory) : programDirectory_(std::move(programDirectory)) {
    for (const ControlInfo& info : mainWindowControls()) controls_[std::string(info.name)];
    for (const DialogInfo& info : mainWindowDialogs()) dialogs_[std::string(info.name)];
}

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

FakeUi::Control& FakeUi::control(std::string_view name) {
    requireControl(name);
    return controls_.find(name)->second;
}

const FakeUi::Control& FakeUi::control(std::string_view name) const {
    requireControl(name);
    return controls_.find(name)->second;
}

FakeUi::Control& FakeUi::list(std::string_view name) {
    requireControl(name, ControlKind::ComboBox);
    return controls_.find(name)->second;
}

const FakeUi::Control& FakeUi::list(std::string_view name) const {
    requireControl(name, ControlKind::ComboBox);
    return controls_.find(name)->second;
}

FakeUi::Dialog& FakeUi::dialog(std::string_view name) {
    requireDialog(name);
    return dialogs_.find(name)->second;
}

void FakeUi::setEnabled(std::string_view name, bool enabled) { control(name).enabled = enabled; }
bool FakeUi::isEnabled(std::string_view name) const { return control(name).enabled; }
void FakeUi::setVisible(std::string_view name, bool visible) { control(name).visible = visible; }
bool FakeUi::isVisible(std::string_view name) const { return control(name).visible; }

void FakeUi::setText(std::string_view name, const std::string& text) {
    const ControlInfo& info = requireControl(name);
    if (!hasText(info.kind) || info.kind == ControlKind::ComboBox)
        throw std::logic_error("The text of \"" + std::string(name) + "\" cannot be set");
    control(name).text = text;
    if (info.kind == ControlKind::StatusBar) statusHistory_.push_back(text);
}

std::string FakeUi::text(std::string_view name) const {
    const ControlInfo& info = requireControl(name);
    if (!hasText(info.kind)) throw std::logic_error("\"" + std::string(name) + "\" has no text");
    const Control& state = control(name);
    if (info.kind != ControlKind::ComboBox) return state.text;
    return state.itemIndex < 0 ? std::string() : state.items[static_cast<std::size_t>(state.itemIndex)].text;
}

void FakeUi::setHint(std::string_view name, const std::string& hint) { control(name).hint = hint; }
std::string FakeUi::hint(std::string_view name) const { return control(name).hint; }
void FakeUi::setShowHint(std::string_view name, bool show) { control(name).showHint = show; }
bool FakeUi::showHint(std::string_view name) const { return control(name).showHint; }

void FakeUi::clearItems(std::string_view name) {
    Control& state = list(name);
    state.items.clear();
    state.itemIndex = -1;
}

void FakeUi::addItem(std::string_view name, const std::string& text, std::optional<ContestRecord> record) {
    list(name).items.push_back({text, std::move(record)});
}

std::vector<std::string> FakeUi::items(std::string_view name) const {
    std::vector<std::string> texts;
    for (const Item& item : list(name).items) texts.push_back(item.text);
    return texts;
}

std::optional<ContestRecord> FakeUi::itemRecord(std::string_view name, int index) const {
    const Control& state = list(name);
    if (index < 0 || index >= static_cast<int>(state.items.size()))
        throw std::logic_error("\"" + std::string(name) + "\" has no entry " + std::to_string(index));
    return state.items[static_cast<std::size_t>(index)].record;
}

void FakeUi::setItemIndex(std::string_view name, int index) {
    Control& state = list(name);
    // A list shows nothing for an index beyond its entries, as the real one does.
    state.itemIndex = index >= 0 && index < static_cast<int>(state.items.size()) ? index : -1;
}

int FakeUi::itemIndex(std::string_view name) const { return list(name).itemIndex; }

void FakeUi::setProgressRange(int minimum, int maximum) { progress_.setRange(minimum, maximum); }
void FakeUi::setProgressPosition(int position) { progress_.setPosition(position); }
void FakeUi::setProgressStep(int step) { progress_.setStep(step); }
void FakeUi::stepProgress() { progress_.stepIt(); }

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

void FakeUi::setDialogFilter(std::string_view name, const std::string& filter) {
    dialog(name).filter = filter;
}

void FakeUi::setDialogDefaultExt(std::string_view name, const std::string& extension) {
    dialog(name).defaultExt = extension;
}

std::string FakeUi::dialogFilter(std::string_view name) const {
    requireDialog(name);
    return dialogs_.find(name)->second.filter;
}

std::string FakeUi::dialogDefaultExt(std::string_view name) const {
    requireDialog(name);
    return dialogs_.find(name)->second.defaultExt;
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
