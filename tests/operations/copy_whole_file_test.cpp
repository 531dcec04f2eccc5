#include "history_db/copy_whole_file.h"
#include "operation_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

using kv::history_db::CopyWholeFile;
using kv::testing::fileBytes;
using kv::testing::ProgramFiles;

using ::testing::StartsWith;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

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
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(files.path()), {}), 4)
        << "the two program files, the empty file and the copy: nothing left beside the copy";
}

TEST(CopyWholeFile, AFailedCopySaysWhichFileAndLeavesTheTargetAsItWas) {
    ProgramFiles files;
    const std::string source = files.file("kestrovane_mdb.template"), target = files.file("backup.bup");
    const std::string missing = files.file("gone.mdb");
    EXPECT_THAT([&] { CopyWholeFile(missing, target); },
                ThrowsMessage<std::runtime_error>(StrEq("Cannot open file " + missing)));
    const std::string folder = files.path().string();
    EXPECT_THAT([&] { CopyWholeFile(folder, target); },
                ThrowsMessage<std::runtime_error>(StrEq("Cannot open file " + folder)));

    const std::string nowhere = files.file("no such folder/copy.mdb");
    EXPECT_THAT([&] { CopyWholeFile(source, nowhere); },
                ThrowsMessage<std::runtime_error>(StartsWith("Cannot create file " + nowhere + ": ")));

    // The copy cannot be written beside the target: the earlier backup must survive.
    std::ofstream(target) << "the earlier backup";
    std::filesystem::create_directories(files.file(".backup.bup.partial/blocked"));
    EXPECT_THAT([&] { CopyWholeFile(source, target); },
                ThrowsMessage<std::runtime_error>(StartsWith("Cannot create file " + target)));
    EXPECT_EQ(fileBytes(target), "the earlier backup");
}
