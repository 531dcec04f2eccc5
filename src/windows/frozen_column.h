#pragma once
// The Call column of the History view's grid kept in sight while the grid scrolls sideways: a
// view of the grid's own first column laid over its left edge. It shows whenever the grid is
// scrolled away from its first column, and hides again when the grid is back at its left edge,
// so that the grid's own first column, where calls are edited, is what the user works in there.
// It shares the grid's model and selection (a click on it makes that row current, through the
// grid's leaving of its row) and follows the grid's vertical scrolling.

#include <QTableView>

namespace kv::windows {

class FrozenColumn final : public QTableView {
public:
    // Made as a child of the grid, which must call follow() after each setModel and place() after
    // each resize.
    explicit FrozenColumn(QTableView& grid);

    void follow();
    void place();

private:
    QTableView& grid_;
};

}  // namespace kv::windows
