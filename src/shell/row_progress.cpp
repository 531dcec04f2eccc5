#include "shell/row_progress.h"

#include "shell/window_operations.h"

#include <memory>
#include <optional>

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

history_db::Progress windowProgress(ui::Ui& ui) {
    auto bar = std::make_shared<std::optional<RowProgress>>();
    return {[&ui](const std::string& text) { SetStatus(ui, text); },
            [&ui, bar](long long done, long long total) {
                if (done == 0)
                    bar->emplace(ui, total);
                else
                    (*bar)->rowDone();
            }};
}

void hideProgress(ui::Ui& ui) { ui.setVisible("ProgressBar1", false); }

}  // namespace kv::shell
