#include "windows/entry_dialogs.h"

#include <QInputDialog>

namespace kv::windows {
namespace {

constexpr const char* kCaption = "Kestrovane";

}  // namespace

std::optional<std::string> askDateDialog(QWidget* parent, const std::string& prompt, const std::string& initial) {
    QInputDialog dialog(parent);
    dialog.setObjectName("DateDialog");
    dialog.setWindowTitle(kCaption);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(QString::fromStdString(prompt));
    dialog.setTextValue(QString::fromStdString(initial));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue().toStdString();
}

std::optional<std::size_t> chooseEntryDialog(QWidget* parent, const std::string& prompt,
                                             const std::vector<std::string>& entries) {
    QStringList items;
    for (const std::string& entry : entries) items << QString::fromStdString(entry);
    QInputDialog dialog(parent);
    dialog.setObjectName("EntryChoiceDialog");
    dialog.setWindowTitle(kCaption);
    dialog.setLabelText(QString::fromStdString(prompt));
    dialog.setComboBoxItems(items);
    dialog.setComboBoxEditable(false);
    dialog.setOption(QInputDialog::UseListViewForComboBoxItems);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const qsizetype chosen = items.indexOf(dialog.textValue());
    if (chosen < 0) return std::nullopt;
    return static_cast<std::size_t>(chosen);
}

}  // namespace kv::windows
