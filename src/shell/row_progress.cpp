#include "shell/row_progress.h"

namespace kv::shell {

int progressStep(long long recordCount) {
    long long hundredths = recordCount / 100;
    const long long remainder = recordCount % 100;
    if (remainder > 50 || (remainder == 50 && hundredths % 2 == 1)) ++hundredths;
    return static_cast<int>(hundredths + 1);
}

RowProgress::RowProgress(ui::Ui& ui, long long rowCount) : ui_(ui), step_(progressStep(rowCount)) {
    ui.setProgressRange(0, static_cast<int>(rowCount));
    ui.setProgressPosition(0);
    ui.setProgressStep(step_);
    ui.setVisible("ProgressBar1", true);
}

}  // namespace kv::shell
