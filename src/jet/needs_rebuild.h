#pragma once
// Raised while a commit plans its changes in place when the table's pages have a shape that only a
// rebuild of the table handles: moved rows, a usage map that would have to change its form, an
// index node left with a single child. The commit then rebuilds the table instead.

#include <stdexcept>

namespace kv::jet {

struct NeedsRebuild : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace kv::jet
