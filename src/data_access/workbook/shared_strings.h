#pragma once
// The shared string table (SST) of a workbook's globals: the texts that LABELSST cells name by
// index, in an SST record and the CONTINUE records after it.

#include <string>
#include <vector>

#include "jet/bytes.h"

namespace kv::data_access::workbook {

// `parts` are the bodies of the SST record and of its CONTINUE records, in order. The count the
// table declares is not trusted beyond the strings that its bytes hold.
std::vector<std::string> readSharedStrings(std::vector<jet::ByteView> parts);

}  // namespace kv::data_access::workbook
