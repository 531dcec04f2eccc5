// Times the History view on a History of 1 000 000 stations, the way the window opens it: the
// View operation opens the table, counts it, works out the caption's range of Updated and hands
// the rows to the grid, which reads its first screen by position. Then a click on the Call
// column's title (sorted by the Call index) and a find by prefix in another column. Prints the
// peak memory of the process after the History was written in a child process.
// Usage: bench_history_view [FOLDER] (a temporary folder by default).

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "bench_folder.h"
#include "bench_support.h"
#include "child_process.h"
#include "history_table.h"
#include "shell/history_database.h"
#include "shell/view_history.h"

namespace {

using namespace kv;
namespace fs = std::filesystem;

constexpr int kStations = 1000000;
constexpr long long kScreenRows = 40;

// The grid's part: the caption, and the cells of the first screen read as a paint reads them.
class ViewUi : public bench::BenchUi {
public:
    using BenchUi::BenchUi;

    void showHistoryView(const std::string& caption, ui::GridRows& rows) override {
        caption_ = caption;
        for (long long row = 0; row < std::min(kScreenRows, rows.rowCount()); ++row)
            for (std::size_t column = 0; column < rows.columnNames().size(); ++column)
                cellBytes_ += rows.text(row, column).size();
        shown_ = bench::Clock::now();
        rows.sortBy(0, false);
        sortSeconds_ = bench::secondsSince(shown_);
        const auto findStart = bench::Clock::now();
        found_ = rows.find(1, "OP96").has_value();
        findSeconds_ = bench::secondsSince(findStart);
    }

    std::string caption_;
    std::size_t cellBytes_ = 0;
    bench::Clock::time_point shown_;
    double sortSeconds_ = 0;
    double findSeconds_ = 0;
    bool found_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    const fs::path programDirectory = kv::bench::programDirectory();
    const std::filesystem::path folder = kv::bench::benchFolder(argc, argv, "kv_bench_history_view");
    const std::string history = (folder / "history.mdb").string();
    try {
        const double written = bench::inChildProcess([&] {
            const auto start = bench::Clock::now();
            jet::createDatabase(
                history,
                {bench::historyTable(kStations, [](int n) { return jet::Value(jet::DateTime{45000.0 + n % 700}); }),
                 bench::versionTable()},
                true);
            return bench::secondsSince(start);
        });
        std::printf("History of %d stations:   %8.1f MB (written in %.1f s)\n", kStations,
                    bench::megabytes(fs::file_size(history)), written);

        ViewUi ui((programDirectory / "").string());
        ui.state().MappingPath = (programDirectory / "mapping.xls").string();
        shell::DataObjects data;
        shell::OpenTHDatabase(ui, data, history);
        const auto start = bench::Clock::now();
        shell::ViewThDBClick(ui, data);
        const double opened = std::chrono::duration<double>(ui.shown_ - start).count();
        if (ui.cellBytes_ == 0 || !ui.found_) throw std::runtime_error("the view showed no rows");

        std::printf("%s\n", ui.caption_.c_str());
        std::printf("view opened, first screen read:  %8.3f s\n", opened);
        std::printf("sorted by Call (title click):     %8.3f s\n", ui.sortSeconds_);
        std::printf("find \"OP96\" in Name:              %8.3f s\n", ui.findSeconds_);
        std::printf("peak memory of the process:       %8.1f MB\n", bench::peakMegabytes());
    } catch (const std::exception& error) {
        std::cerr << "bench_history_view: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
