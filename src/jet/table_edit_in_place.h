#pragma once
// Planning a table edit in place: the page images that make the change, touching only the data
// pages of the rows changed, the index nodes on the paths of the keys changed, the usage maps where
// pages come and go, and the table definition. Nothing is written.

#include <optional>
#include <vector>

#include "jet/page_file.h"
#include "jet/table_edit.h"

namespace kv::jet {

struct EditInPlace {
    PageImages pages;
    std::vector<RowLocation> updatedLocations;   // by updated row
    std::vector<RowLocation> insertedLocations;  // by inserted row
};

// Empty when the table's shape calls for a rebuild instead. Fills in the autonumbers of the
// edit's rows. Throws std::runtime_error for a value that does not fit or a repeated key.
std::optional<EditInPlace> planEditInPlace(const PageFile& file, const TableDef& def, const RowPlaces& stored,
                                           TableEdit& edit);

}  // namespace kv::jet
