#pragma once
// The schema language of jetmake: the Access dialect that `mdb-schema FILE access` prints, plus
// indexes and a primary key.
//
//   CREATE TABLE [History]
//    (
//       [Id]        Long Integer AUTOINCREMENT,
//       [Call]      Text (20) NOT NULL,
//       [Updated]   DateTime
//   );
//   CREATE UNIQUE INDEX [Call] ON [History] ([Call] ASC, [Updated] DESC);
//   CREATE INDEX [PrimaryKey] ON [History] ([Id]) WITH PRIMARY;
//
// Names are in brackets (or plain words); keywords and type names ignore letter case. Types:
// Text (n), Memo/Hyperlink [(n)], Byte, Integer, Long Integer, Single, Double, Currency, DateTime,
// Boolean, Replication ID, Numeric (p, s), Binary (n), OLE [(n)]; "AutoNumber" (or "Counter") is a
// Long Integer with AUTOINCREMENT. An index may end in WITH PRIMARY, WITH IGNORE NULL or WITH
// DISALLOW NULL. "--" starts a comment that runs to the end of the line.

#include <string>
#include <string_view>
#include <vector>

#include "jet/table_def_builder.h"

namespace kv::jetmake {

// The tables in the order the schema defines them. Throws std::runtime_error naming the line and
// what was expected there.
std::vector<jet::TableDesign> parseSchema(std::string_view text);

}  // namespace kv::jetmake
