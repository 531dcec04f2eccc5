#include "export/file_error_text.h"

#include <cerrno>
#include <system_error>

namespace kv::export_ {

std::string fileErrorText(int code) {
    const std::error_condition error = std::generic_category().default_error_condition(code);
    using std::errc;
    if (error == errc::no_such_file_or_directory || error == errc::not_a_directory) return "File not found";
    if (error == errc::filename_too_long || error == errc::invalid_argument || error == errc::illegal_byte_sequence)
        return "Invalid filename";
    if (error == errc::too_many_files_open || error == errc::too_many_files_open_in_system)
        return "Too many open files";
    if (error == errc::permission_denied || error == errc::operation_not_permitted ||
        error == errc::read_only_file_system || error == errc::is_a_directory || error == errc::text_file_busy)
        return "File access denied";
    if (error == errc::no_space_on_device) return "Disk full";
#ifdef EDQUOT
    if (code == EDQUOT) return "Disk full";
#endif
    return "I/O error " + std::to_string(code);
}

}  // namespace kv::export_
