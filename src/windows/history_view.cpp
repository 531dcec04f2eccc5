#include "windows/history_view.h"

#include "windows/error_box.h"
#include "windows/history_grid.h"
#include "windows/history_grid_model.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kv::windows {

TForm_showHist::TForm_showHist(QWidget* parent) : QDialog(parent) {
    setObjectName("TForm_showHist");
    setWindowTitle("History database");

    findColumn_ = new QComboBox;
    findColumn_->setObjectName("ComboBox_FindColumn");
    findField_ = new QLineEdit;
    findField_->setObjectName("Edit_FindCall");
    findField_->setFixedSize(120, 24);
    auto* findRow = new QHBoxLayout;
    findRow->setContentsMargins(4, 0, 0, 0);
    findRow->addWidget(new QLabel("Find in"));
    findRow->addWidget(findColumn_);
    findRow->addWidget(findField_);
    findRow->addStretch(1);

    // The grid keeps its designed 937 x 553 below the search at the designed window size, and
    // grows with the window.
    grid_ = new DBGrid;
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 4, 9, 4);
    column->setSpacing(4);
    column->addLayout(findRow);
    column->addWidget(grid_, 1);

    resize(946, 589);
    move(276, 231);
    // Only what the user types searches, not the field being emptied for the next showing.
    connect(findField_, &QLineEdit::textEdited, this, &TForm_showHist::find);
}

void TForm_showHist::showModal(const QString& caption, ui::GridRows& rows) {
    setWindowTitle(caption);
    findField_->clear();
    findColumn_->clear();
    for (const std::string& name : rows.columnNames()) findColumn_->addItem(QString::fromStdString(name));
    findColumn_->setCurrentIndex(std::max(findColumn_->findText("Call"), 0));
    grid_->setRows(&rows);
    grid_->setFocus();
    exec();
    grid_->setRows(nullptr);
}

void TForm_showHist::done(int result) {
    if (!grid_->leaveRow()) return;
    QDialog::done(result);
}

void TForm_showHist::find(const QString& prefix) {
    runGuarded([&] {
        if (const auto row = grid_->gridModel()->find(std::max(findColumn_->currentIndex(), 0), prefix))
            grid_->goToRow(*row);
    });
}

}  // namespace kv::windows
