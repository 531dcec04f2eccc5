#include "cli/report.h"

namespace kv::cli {

void Report::status(const std::string& text) {
    endProgressLine();
    err_ << "status: " << text << '\n';
}

void Report::line(const std::string& text) {
    endProgressLine();
    err_ << text << '\n';
}

bool Report::confirmed(const std::string& question, std::string_view option, bool given) {
    line(question);
    if (given)
        err_ << "Answered Yes (" << option << ")\n";
    else
        err_ << "Answered No; " << option << " answers Yes\n";
    return given;
}

history_db::Progress Report::progress() {
    return {[this](const std::string& text) { status(text); },
            [this](long long done, long long total) { rowsDone(done, total); }};
}

void Report::rowsDone(long long done, long long total) {
    if (!showProgress_) return;
    const int percent = total > 0 ? static_cast<int>(100 * done / total) : 100;
    if (percent == percentShown_) return;
    percentShown_ = percent;
    err_ << "\rprogress: " << percent << "%" << std::flush;
}

// The line the percentage was rewriting ends before anything else is told.
void Report::endProgressLine() {
    if (percentShown_ < 0) return;
    err_ << '\n';
    percentShown_ = -1;
}

}  // namespace kv::cli
