#include "windows/message_box.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace kv::windows {

MessageBoxDialog::MessageBoxDialog(const QString& caption, const QString& text, QStyle::StandardPixmap icon,
                                   ui::BoxButtons buttons)
    : icon_(icon) {
    setWindowTitle(caption);
    setModal(true);

    auto* iconLabel = new QLabel;
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    iconLabel->setPixmap(style()->standardIcon(icon, nullptr, this).pixmap(iconSize, iconSize));
    iconLabel->setAlignment(Qt::AlignTop);
    textLabel_ = new QLabel(text);
    textLabel_->setWordWrap(true);
    textLabel_->setTextFormat(Qt::PlainText);

    auto* message = new QHBoxLayout;
    message->addWidget(iconLabel);
    message->addSpacing(12);
    message->addWidget(textLabel_, 1);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    if (buttons == ui::BoxButtons::Ok) {
        QPushButton* ok = addAnswerButton("OK", ui::BoxAnswer::Ok);
        buttonRow->addWidget(ok);
        ok->setDefault(true);
        escapeButton_ = ok;
    } else {
        QPushButton* yes = addAnswerButton("&Yes", ui::BoxAnswer::Yes);
        QPushButton* no = addAnswerButton("&No", ui::BoxAnswer::No);
        buttonRow->addWidget(yes);
        buttonRow->addWidget(no);
        yes->setDefault(true);
        escapeButton_ = no;
    }
    buttonRow->addStretch(1);

    int width = 0;
    for (QPushButton* button : buttons_) width = std::max(width, button->sizeHint().width());
    for (QPushButton* button : buttons_) button->setFixedWidth(std::max(width, 75));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(message);
    layout->addSpacing(8);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QPushButton* MessageBoxDialog::addAnswerButton(const QString& caption, ui::BoxAnswer answer) {
    auto* button = new QPushButton(caption);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, answer] {
        answer_ = answer;
        accept();
    });
    buttons_.push_back(button);
    return button;
}

QString MessageBoxDialog::text() const { return textLabel_->text(); }

void MessageBoxDialog::keyPressEvent(QKeyEvent* event) {
    // QDialog would reject() on Esc, which is also what closing by the frame does; pressing the
    // escape button keeps the two apart.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        escapeButton_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void MessageBoxDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QScreen* shown = screen()) move(shown->availableGeometry().center() - rect().center());
}

ui::BoxAnswer showMessageBox(const QString& caption, const QString& text, QStyle::StandardPixmap icon,
                             ui::BoxButtons buttons) {
    MessageBoxDialog box(caption, text, icon, buttons);
    box.exec();
    return box.answer();
}

}  // namespace kv::windows
