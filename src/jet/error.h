#pragma once
#include <stdexcept>
#include <string>

namespace kv::jet {

// A file that is not a Jet 4 database we can read, or one whose structures are damaged. The message
// is meant for the user: it names the file and what is wrong with it.
class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace kv::jet
