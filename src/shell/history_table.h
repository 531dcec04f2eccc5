#pragma once
// The History table of the open History database, as the operations that read it whole see it.

#include "shell/data_objects.h"

namespace kv::shell {

// `ADODataSet_ThDB` opened on the plain table "History" at its first row, in the table's own
// order: an index, filter or sort that another operation left on the cursor (an import its index)
// is cleared first.
data_access::Cursor& openHistoryTable(DataObjects& data);

}  // namespace kv::shell
