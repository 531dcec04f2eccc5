#include "data_access/error_box_text.h"

namespace kv::data_access {

std::string errorBoxText(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    return text;
}

}  // namespace kv::data_access
