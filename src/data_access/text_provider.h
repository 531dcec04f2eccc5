#pragma once
// Delimited text files: the Data Source is a folder and each file in it is a table. The first
// line is a header and is skipped; the k-th comma-separated column is named "field"k, for as many
// columns as the longest line has (shorter lines read as NULL in the rest). Read-only.
//
// A file is refused, by a message naming it, when it is UTF-16 or no text, separates its fields
// by semicolons or tabs, or has a line of more than 64 fields or 64 KiB.

#include <memory>
#include <string>

#include "data_access/provider.h"

namespace kv::data_access {

// Throws when `folder` is not a folder.
std::unique_ptr<Provider> openTextProvider(const std::string& folder);

}  // namespace kv::data_access
