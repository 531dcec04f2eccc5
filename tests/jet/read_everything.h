#pragma once
// Reads all a database holds: every table's definition and rows and every index tree. The
// damaged-file tests and the fuzz target run it on mutated files.

#include "jet/database.h"
#include "jet/index_key.h"
#include "jet/index_tree.h"

namespace kv::jet::testing {

inline void readEverything(const Database& db) {
    for (const auto& table : db.tables()) {
        TableDef def = db.tableDef(table);
        TableRows rows = db.rows(def);
        for (const auto& index : def.realIndexes) {
            auto entries = readIndexEntries(db.file(), index);
            for (const auto& entry : entries) {
                std::size_t position = rows.positionOf(entry.row);
                try {
                    encodeIndexKey(def, index, rows.rows[position]);
                } catch (const UnencodableKey&) {
                }
            }
            // A seek descends one path; the first and the last key take the two outer ones.
            if (!entries.empty()) {
                seekIndex(db.file(), index, entries.front().key);
                seekIndex(db.file(), index, entries.back().key);
            }
        }
    }
}

}  // namespace kv::jet::testing
