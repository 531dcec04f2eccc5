#pragma once
// View > "History database": the History table in a grid the user browses, edits and searches.

#include "shell/data_objects.h"
#include "ui/ui.h"

#include <string>

namespace kv::shell {

// The caption of the History view for a table of `count` rows.
std::string HistoryViewCaption(long long count);

// Shows the view modally over a cursor of its own on the plain table History, with the number of
// rows it had at the start and the span of their `Updated` in its caption; the cursor goes when the
// view closes.
void ViewThDBClick(ui::Ui& ui, DataObjects& data);

}  // namespace kv::shell
