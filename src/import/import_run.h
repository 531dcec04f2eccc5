#pragma once
// "Start IMPORT": every row of the chosen source merged into History. A station already there is
// updated column by column (its data2/data3 pair merged), a new one is inserted, and every row
// touched is stamped with today's date in `Updated`.
//
// The database file is first copied to HistoryPath + ".bup". The run's changes are committed
// together when it ends: a run that fails leaves the database exactly as it was, and the error
// says so. A source row without a call (empty or blanks) is skipped and counted. The working copy
// of a call-history file serves one run and is removed when the run ends; a later run copies the
// chosen file again.

#include "shell/data_objects.h"
#include "ui/ui.h"

namespace kv::import {

// What a run did with the rows of its source.
struct ImportCounts {
    long long read = 0;  // stations read (comment and directive lines of a file are no stations)
    long long inserted = 0;
    long long updated = 0;      // matched, and a mapped column or the exchange pair changed
    long long unchanged = 0;    // matched, and only `Updated` was stamped
    long long withoutCall = 0;  // read, but with no call to file them under: no History row
};

ImportCounts Button_ImportClick(ui::Ui& ui, shell::DataObjects& data);

}  // namespace kv::import
