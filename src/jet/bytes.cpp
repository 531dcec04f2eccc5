#include "jet/bytes.h"

namespace kv::jet {

void ByteView::throwPastEnd(std::size_t offset, std::size_t length) const {
    throw FormatError(where() + ": a length or offset points past the end (" + std::to_string(offset) + "+" +
                      std::to_string(length) + " of " + std::to_string(bytes_.size()) + " bytes); the file is damaged");
}

}  // namespace kv::jet
