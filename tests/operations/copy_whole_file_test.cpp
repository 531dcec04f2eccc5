#include "history_db/copy_whole_file.h"
#include "operation_files.h"

#include <gtest/gtest.h>

#include <fstream>

using kv::history_db::CopyWholeFile;
using kv::testing::fileBytes;
using kv::testing::ProgramFiles;

namespace {

std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no error";
}

} // namespace

TEST(CopyWholeFile, CopiesEveryByteOverAnyEarlierFile) {
    ProgramFiles files;
    const std::string source = files.file("kestrovane_mdb.template"), target = files.file("copy.mdb");
    std::ofstream(target) << "an older, longer file that the copy replaces completely";
    CopyWholeFile(source, target);
    EXPECT_EQ(fileBytes(target), fileBytes(source));

    const std::string empty = files.file("empty.txt");
    std::ofstream{empty};
    CopyWholeFile(empty, target);
    EXPECT_EQ(fileBytes(target), "");
    EXPECT_FALSE(std::filesystem::exists(target + ".partial"));
}

TEST(CopyWholeFile, AFailedCopySaysWhichFileAndLeavesTheTargetAsItWas) {
    ProgramFiles files;
    const std::string source = files.file("kestrovane_mdb.template"), target = files.file("backup.bup");
    const std::string missing = files.file("gone.mdb");
    EXPECT_EQ(messageOf([&] { CopyWholeFile(missing, target); }), "Cannot open file " + missing);
    EXPECT_EQ(messageOf([&] { CopyWholeFile(files.path().string(), target); }), "Cannot open file " + files.path().string());

    const std::string nowhere = files.file("no such folder/copy.mdb");
    EXPECT_EQ(messageOf([&] { CopyWholeFile(source, nowhere); }).rfind("Cannot create file " + nowhere + ": ", 0), 0u);

    // The copy cannot be written beside the target: the earlier backup must survive.
    std::ofstream(target) << "the earlier backup";
    std::filesystem::create_directories(target + ".partial/blocked");
    EXPECT_EQ(messageOf([&] { CopyWholeFile(source, target); }).rfind("Cannot create file " + target, 0), 0u);
    EXPECT_EQ(fileBytes(target), "the earlier backup");
}
