#pragma once
// What kestrovane-cli tells on standard error while a subcommand runs: the texts the window would
// show in its status line ("status: ..."), its questions and how they were answered, and on a
// terminal the progress of a long run as a percentage that rewrites itself on one line.

#include "history_db/progress.h"

#include <ostream>
#include <stdexcept>
#include <string>

namespace kv::cli {

// The subcommand did not do what it says, for a reason the user can mend; the message is printed
// as it stands and the exit status is kRefused.
class Refusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Report {
public:
    Report(std::ostream& err, bool showProgress) : err_(err), showProgress_(showProgress) {}

    void status(const std::string& text);
    // A line as it stands: a question, a refusal.
    void line(const std::string& text);
    // A question that `option` answers Yes, and its answer; false when it was not given.
    bool confirmed(const std::string& question, std::string_view option, bool given);
    // The domain's progress, told here.
    history_db::Progress progress();

private:
    void endProgressLine();
    void rowsDone(long long done, long long total);

    std::ostream& err_;
    bool showProgress_;
    int percentShown_ = -1;
};

}  // namespace kv::cli
