#pragma once
// The status line and progress bar while a long operation of the domain runs.

#include "history_db/progress.h"
#include "ui/ui.h"

namespace kv::shell {

// One step per hundredth of the rows, at least one row: recordCount / 100 rounded to the nearest
// whole number, an exact half to the even one, plus 1. 250 rows give 3, 350 give 5, 50 give 1.
int progressStep(long long recordCount);

// Shows `ProgressBar1` at 0 of `rowCount` and advances it by one step for every progressStep
// rows done. Throws, before showing anything, for a count the bar cannot take (-1: unknown).
class RowProgress {
public:
    RowProgress(ui::Ui& ui, long long rowCount);

    void rowDone() {
        if (++rowsDone_ % step_ == 0) ui_.stepProgress();
    }

private:
    ui::Ui& ui_;
    int step_;
    long long rowsDone_ = 0;
};

// An operation's progress in the window: its texts in the status line, its rows on the bar. The
// bar stays up when the operation ends; hideProgress takes it away.
history_db::Progress windowProgress(ui::Ui& ui);
void hideProgress(ui::Ui& ui);

}  // namespace kv::shell
