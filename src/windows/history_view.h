#pragma once
// The History view `TForm_showHist`: created at program start, hidden until View > "History
// database". A field above the grid finds a value of the column chosen beside it (Call at first):
// typing moves the grid to the first row whose value starts with the text, in the order of calls
// for Call and in the grid's order for another column; nothing else of the view changes.

#include "ui/grid_rows.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace kv::windows {

class DBGrid;

class TForm_showHist : public QDialog {
    Q_OBJECT
public:
    explicit TForm_showHist(QWidget* parent = nullptr);

    // Shows the rows modally under this caption; returns once the user has closed the view, which
    // leaves no change pending.
    void showModal(const QString& caption, ui::GridRows& rows);

    DBGrid* grid() const { return grid_; }
    QLineEdit* findField() const { return findField_; }
    QComboBox* findColumn() const { return findColumn_; }

protected:
    // Closing writes the current row's change first, and stays open when the table refuses it.
    void done(int result) override;

private:
    void find(const QString& prefix);

    QComboBox* findColumn_ = nullptr;
    QLineEdit* findField_ = nullptr;
    DBGrid* grid_ = nullptr;
};

}  // namespace kv::windows
