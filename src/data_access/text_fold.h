#pragma once
// Letter case folding for the comparisons that ignore case (filters, locate, sort, seek, the
// generic index keys and the names of tables, columns and sheets): the engine's rule, so that a
// name matches here exactly when it matches in an Access file.

#include "jet/text_fold.h"

namespace kv::data_access {

using jet::equalIgnoringCase;
using jet::foldCase;

}  // namespace kv::data_access
