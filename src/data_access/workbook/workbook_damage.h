#pragma once
// Why the bytes of a workbook cannot be read. WorkbookDamage says where they stop making sense,
// without the file's name, which the caller adds; WorkbookProtected is a workbook whose records
// are encrypted with a password.

#include <stdexcept>

namespace kv::data_access::workbook {

class WorkbookDamage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class WorkbookProtected : public std::runtime_error {
public:
    WorkbookProtected() : std::runtime_error("the workbook is password protected") {}
};

}  // namespace kv::data_access::workbook
