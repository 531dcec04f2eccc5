#include "windows/frozen_column.h"

#include <QHeaderView>
#include <QScrollBar>

namespace kv::windows {

FrozenColumn::FrozenColumn(QTableView& grid) : QTableView(&grid), grid_(grid) {
    setObjectName("FrozenCallColumn");
    setFocusPolicy(Qt::NoFocus);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(NoSelection);
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_.viewport()->stackUnder(this);

    connect(grid_.horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (column == 0) setColumnWidth(0, width);
        place();
    });
    connect(grid_.horizontalScrollBar(), &QScrollBar::valueChanged, this, &FrozenColumn::place);
    connect(grid_.verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(), &QScrollBar::setValue);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, grid_.verticalScrollBar(), &QScrollBar::setValue);
    hide();
}

void FrozenColumn::follow() {
    setModel(grid_.model());
    if (!grid_.model()) return hide();
    // setModel made a selection of its own; the grid's is the one that writes on leaving a row.
    QItemSelectionModel* own = selectionModel();
    setSelectionModel(grid_.selectionModel());
    delete own;
    verticalHeader()->setDefaultSectionSize(grid_.verticalHeader()->defaultSectionSize());
    setVerticalScrollMode(grid_.verticalScrollMode());
    for (int column = 1; column < grid_.model()->columnCount(); ++column) setColumnHidden(column, true);
    setColumnWidth(0, grid_.columnWidth(0));
    place();
}

void FrozenColumn::place() {
    const bool scrolledAway = model() && grid_.horizontalScrollBar()->value() > 0;
    setVisible(scrolledAway);
    if (!scrolledAway) return;
    setGeometry(grid_.verticalHeader()->width() + grid_.frameWidth(), grid_.frameWidth(), grid_.columnWidth(0),
                grid_.viewport()->height() + grid_.horizontalHeader()->height());
    verticalScrollBar()->setValue(grid_.verticalScrollBar()->value());
}

}  // namespace kv::windows
