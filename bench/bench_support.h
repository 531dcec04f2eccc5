#pragma once
// What the benchmark programs share: their clock and the Ui they drive the operations through.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <unistd.h>

#include "bench_clock.h"
#include "data_access/connection.h"
#include "data_access/cursor.h"
#include "data_access/source_connection_strings.h"
#include "ui/headless_ui.h"

namespace kv::bench {

inline double megabytes(std::uintmax_t bytes) { return bytes / (1024.0 * 1024.0); }

// Puts what the steps before wrote on the disk, so that a timed run does not share the disk with
// the writeback of files it did not write: a run that syncs its own would wait for them.
inline void settleDisk() { ::sync(); }

// Inserts `rows` rows into the History table of the database at `path` in one bulk work, each
// filled by `fillRow(history, k)` between the insert and the post.
template <typename FillRow>
void fillHistoryTable(const std::string& path, int rows, FillRow fillRow) {
    data_access::Connection connection;
    connection.setConnectionString(data_access::accessDatabaseConnectionString(path));
    data_access::Cursor history("History");
    history.setConnection(&connection);
    history.setTableName("History");
    history.open();
    connection.runBulkWork([&] {
        for (int k = 0; k < rows; ++k) {
            history.insert();
            fillRow(history, k);
            history.post();
        }
    });
}

// A Ui whose user picks `chosenFile` in every file dialog (none by default). A benchmark's
// operations ask nothing, so a message box can only be a failure and ends the program.
class BenchUi : public ui::HeadlessUi {
public:
    explicit BenchUi(std::string programDirectory, std::optional<std::string> chosenFile = std::nullopt)
        : HeadlessUi(std::move(programDirectory)), chosenFile_(std::move(chosenFile)) {}

    ui::BoxAnswer showMessageBox(const std::string& text, ui::BoxKind, ui::BoxButtons) override {
        throw std::runtime_error(text);
    }
    std::optional<std::string> executeDialog(std::string_view) override { return chosenFile_; }
    std::vector<std::string> executeFilesDialog(std::string_view) override {
        return chosenFile_ ? std::vector<std::string>{*chosenFile_} : std::vector<std::string>{};
    }
    std::optional<std::string> askDate(const std::string& prompt, const std::string&) override {
        throw std::runtime_error(prompt);
    }
    std::optional<std::size_t> chooseEntry(const std::string& prompt, const std::vector<std::string>&) override {
        throw std::runtime_error(prompt);
    }
    void requestTerminate() override {}

protected:
    void statusChanged(const std::string&) override {}

private:
    std::optional<std::string> chosenFile_;
};

}  // namespace kv::bench
