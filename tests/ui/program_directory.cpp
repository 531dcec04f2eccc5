#include "program_directory.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <fstream>

namespace kv::ui::testing {

ProgramDirectory::ProgramDirectory(bool withMapping) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            ("kv_" + std::to_string(::getpid()) + "_" + test->test_suite_name() + "_" + test->name());
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
    if (withMapping) std::ofstream(path_ / "mapping.xls") << "workbook";
}

ProgramDirectory::~ProgramDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace kv::ui::testing
