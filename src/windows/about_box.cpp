#include "windows/about_box.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

#include <stdexcept>

namespace kv::windows {
namespace {

QLabel* label(const char* name, const QString& caption, QWidget* parent, QPoint at) {
    auto* result = new QLabel(caption, parent);
    result->setObjectName(name);
    result->move(at);
    result->adjustSize();
    return result;
}

}  // namespace

TAboutBox1::TAboutBox1(QWidget* parent) : QDialog(parent) {
    setObjectName("TAboutBox1");
    setWindowTitle("About");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(298, 213);

    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(2);
    panel->setGeometry(8, 8, 281, 161);

    programIcon_ = new QLabel(panel);
    programIcon_->setObjectName("ProgramIcon");
    programIcon_->setGeometry(8, 8, 65, 57);
    programIcon_->setScaledContents(true);

    label("ProductName", "Product Name: Kestrovane", panel, {88, 16});
    label("Version", "Version: 0.51, April 2005", panel, {88, 32});
    label("Credits", "By the Kestrovane contributors", panel, {88, 48});

    comments_ = new QLabel(panel);
    comments_->setObjectName("Comments");
    comments_->setGeometry(8, 72, 265, 81);
    comments_->setWordWrap(true);
    comments_->setTextFormat(Qt::PlainText);
    comments_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    ok->setGeometry(111, 180, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TAboutBox1::OKButtonClick);
}

void TAboutBox1::showModal(const ui::AboutBoxContent& content) {
    QPixmap icon;
    if (!icon.loadFromData(reinterpret_cast<const uchar*>(content.icon.data()), static_cast<uint>(content.icon.size())))
        throw std::runtime_error("Cannot open file " + content.iconFile);
    programIcon_->setPixmap(icon);
    // A label breaks lines at "\n" only.
    QString comments = QString::fromStdString(content.comments);
    comments.replace("\r\n", "\n").replace('\r', '\n');
    comments_->setText(comments);
    exec();
}

void TAboutBox1::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QScreen* shown = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(shown->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TAboutBox1::OKButtonClick() { accept(); }

}  // namespace kv::windows
