#pragma once
// How a long operation tells its caller how far it has come: the program's own texts for each
// phase as it begins or ends, and the rows done of the rows it walks. The window shows them in
// its status line and progress bar; the command-line program prints them.

#include <functional>
#include <string>

namespace kv::history_db {

struct Progress {
    // A phase began or ended ("Database backup created, IMPORT started").
    std::function<void(const std::string& text)> status;
    // Called with 0 done before the first row, then after each row. `total` never changes
    // within one walk.
    std::function<void(long long done, long long total)> rows;

    void tell(const std::string& text) const {
        if (status) status(text);
    }
    void rowsDone(long long done, long long total) const {
        if (rows) rows(done, total);
    }
};

}  // namespace kv::history_db
