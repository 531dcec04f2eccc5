#pragma once
// How far the progress bar advances at a time while a long operation walks its rows.

namespace kv::shell {

// One step per hundredth of the rows, at least one row: recordCount / 100 rounded to the nearest
// whole number, an exact half to the even one, plus 1. 250 rows give 3, 350 give 5, 50 give 1.
int progressStep(long long recordCount);

} // namespace kv::shell
