#pragma once
// What an import merges into History: rows read through a cursor, and the ImportMapping row that
// says which of their columns go where.

#include "data_access/cursor.h"
#include "mapping/mapping_workbook.h"

#include <string>

namespace kv::import {

class ImportSource {
public:
    virtual ~ImportSource() = default;

    // The ImportMapping row of the source's contest: its kind, and its Contest or Contest_general.
    virtual mapping::ImportKind mappingKind() const = 0;
    virtual const std::string& mappingKey() const = 0;

    // A cursor of its own on the rows to merge, at the first. Errors name the user's file.
    virtual data_access::Cursor open() = 0;
    // Every row has been read and the cursor closed: a source may let go of what reading held (a
    // database's pages) before History is written, and take it again when next opened.
    virtual void finishReading() {}
    // Whether the cursor's row is a station; a call-history file also has comments and directives.
    virtual bool isStation(const data_access::Cursor& row) const = 0;
    // Whether the cursor's station may be inserted when History has no row for it yet; a source
    // that holds back stations it is not sure of says no (contest logs: a call worked too rarely).
    virtual bool mayInsert(const data_access::Cursor& /*row*/) const { return true; }
    // Where the cursor's row is, for a message that points the user at it: "row 3" by its
    // position in the source, from 1, unless the source can tell its line.
    virtual std::string rowPlace(const data_access::Cursor& row) const {
        return "row " + std::to_string(row.position() + 1);
    }
};

}  // namespace kv::import
