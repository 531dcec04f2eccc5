#pragma once
// Which provider serves a connection string: "Extended Properties=Excel 8.0" a workbook, "Text" a
// folder of delimited files, anything else an Access database. A file must also be what its
// provider reads, by its own signature, before the provider opens it; a file with SQLite's
// signature is read by the SQLite provider, whatever the connection string names.

#include <memory>
#include <string>

#include "data_access/provider.h"

namespace kv::data_access {

enum class ProviderKind { Access, Excel, Text };

struct ProviderChoice {
    ProviderKind kind;
    std::string dataSource;
};

// Throws when the connection string has no Data Source.
ProviderChoice chooseProvider(const std::string& connectionString);

// Checks the Data Source and opens the provider. Throws with a message naming the file and what
// it is not when its signature does not fit (a SQLite database when its name ends as one does).
std::unique_ptr<Provider> openProvider(const ProviderChoice& choice);

}  // namespace kv::data_access
