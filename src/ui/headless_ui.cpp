#include "ui/headless_ui.h"

#include "ui/controls.h"

#include <stdexcept>
#include <utility>

namespace kv::ui {

HeadlessUi::HeadlessUi(std::string programDirectory) : programDirectory_(std::move(programDirectory)) {
    for (const ControlInfo& info : mainWindowControls()) controls_[std::string(info.name)];
    for (const DialogInfo& info : mainWindowDialogs()) dialogs_[std::string(info.name)];
}

const HeadlessUi::Control& HeadlessUi::control(std::string_view name) const {
    requireControl(name);
    return controls_.find(name)->second;
}

HeadlessUi::Control& HeadlessUi::control(std::string_view name) {
    return const_cast<Control&>(std::as_const(*this).control(name));
}

const HeadlessUi::Control& HeadlessUi::list(std::string_view name) const {
    requireControl(name, ControlKind::ComboBox);
    return controls_.find(name)->second;
}

HeadlessUi::Control& HeadlessUi::list(std::string_view name) {
    return const_cast<Control&>(std::as_const(*this).list(name));
}

const HeadlessUi::Dialog& HeadlessUi::dialog(std::string_view name) const {
    requireDialog(name);
    return dialogs_.find(name)->second;
}

HeadlessUi::Dialog& HeadlessUi::dialog(std::string_view name) {
    return const_cast<Dialog&>(std::as_const(*this).dialog(name));
}

void HeadlessUi::setEnabled(std::string_view name, bool enabled) { control(name).enabled = enabled; }
bool HeadlessUi::isEnabled(std::string_view name) const { return control(name).enabled; }
void HeadlessUi::setVisible(std::string_view name, bool visible) { control(name).visible = visible; }
bool HeadlessUi::isVisible(std::string_view name) const { return control(name).visible; }

void HeadlessUi::setText(std::string_view name, const std::string& text) {
    const ControlInfo& info = requireControl(name);
    if (!hasText(info.kind) || info.kind == ControlKind::ComboBox)
        throw std::logic_error("The text of \"" + std::string(name) + "\" cannot be set");
    control(name).text = text;
    if (info.kind == ControlKind::StatusBar) statusChanged(text);
}

std::string HeadlessUi::text(std::string_view name) const {
    const ControlInfo& info = requireControl(name);
    if (!hasText(info.kind)) throw std::logic_error("\"" + std::string(name) + "\" has no text");
    const Control& state = control(name);
    if (info.kind != ControlKind::ComboBox) return state.text;
    return state.itemIndex < 0 ? std::string() : state.items[static_cast<std::size_t>(state.itemIndex)].text;
}

void HeadlessUi::setHint(std::string_view name, const std::string& hint) { control(name).hint = hint; }
std::string HeadlessUi::hint(std::string_view name) const { return control(name).hint; }
void HeadlessUi::setShowHint(std::string_view name, bool show) { control(name).showHint = show; }
bool HeadlessUi::showHint(std::string_view name) const { return control(name).showHint; }

void HeadlessUi::clearItems(std::string_view name) {
    Control& state = list(name);
    state.items.clear();
    state.itemIndex = -1;
}

void HeadlessUi::addItem(std::string_view name, const std::string& text, std::optional<ContestRecord> record) {
    list(name).items.push_back({text, std::move(record)});
}

std::vector<std::string> HeadlessUi::items(std::string_view name) const {
    std::vector<std::string> texts;
    for (const Item& item : list(name).items) texts.push_back(item.text);
    return texts;
}

std::optional<ContestRecord> HeadlessUi::itemRecord(std::string_view name, int index) const {
    const Control& state = list(name);
    if (index < 0 || index >= static_cast<int>(state.items.size()))
        throw std::logic_error("\"" + std::string(name) + "\" has no entry " + std::to_string(index));
    return state.items[static_cast<std::size_t>(index)].record;
}

void HeadlessUi::setItemIndex(std::string_view name, int index) {
    Control& state = list(name);
    // A list shows nothing for an index beyond its entries, as the real one does.
    state.itemIndex = index >= 0 && index < static_cast<int>(state.items.size()) ? index : -1;
}

int HeadlessUi::itemIndex(std::string_view name) const { return list(name).itemIndex; }

void HeadlessUi::setProgressRange(int minimum, int maximum) { progress_.setRange(minimum, maximum); }
void HeadlessUi::setProgressPosition(int position) { progress_.setPosition(position); }
void HeadlessUi::setProgressStep(int step) { progress_.setStep(step); }
void HeadlessUi::stepProgress() { progress_.stepIt(); }

void HeadlessUi::setDialogFilter(std::string_view name, const std::string& filter) { dialog(name).filter = filter; }

void HeadlessUi::setDialogDefaultExt(std::string_view name, const std::string& extension) {
    dialog(name).defaultExt = extension;
}

std::string HeadlessUi::dialogFilter(std::string_view name) const { return dialog(name).filter; }
std::string HeadlessUi::dialogDefaultExt(std::string_view name) const { return dialog(name).defaultExt; }

}  // namespace kv::ui
