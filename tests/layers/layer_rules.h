#pragma once
// The layers of src/ and what each may include, lowest first:
//   jet (std only) < data_access (jet) < the domain mapping, history_db, import, export
//   (data_access, each other); ui (std only) < shell, the window's operations (domain, ui,
//   data_access) < windows (everything, Qt) < app (windows, Qt); cli (domain, data_access; no
//   Qt, no ui, no shell).
// Only windows, app and cli may talk to a terminal (<iostream>).
//
// A layer's folder is the first folder under src/; a file may always include its own folder.

#include <string>
#include <string_view>
#include <vector>

namespace kv::layers {

struct Violation {
    std::string file;     // under src/, e.g. "history_db/history_database.cpp"
    int line = 0;         // from 1
    std::string include;  // as written: "jet/page_file.h" or <QString>; empty: the file itself
    std::string rule;     // the rule it breaks, in words

    // "src/<file>:<line>: #include <include> breaks the rule: <rule>" ("the file" for no include)
    std::string describe() const;
};

// The includes of `text`, the content of the file `file` (a path under src/), that its layer
// may not use. A file outside every layer breaks a rule too: the table must know each folder.
std::vector<Violation> checkIncludes(std::string_view file, std::string_view text);

}  // namespace kv::layers
