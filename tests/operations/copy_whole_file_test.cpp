#include "history_db/copy_whole_file.h"
#include "jet/durable_io.h"
#include "operation_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
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

TEST(CopyWholeFile, ACopyTakesThePermissionsOfTheFileItStandsFor) {
    namespace fs = std::filesystem;
    ProgramFiles files;
    const std::string source = files.file("calls.mdb"), backup = files.file("calls.mdb.bup");
    fs::copy_file(files.file("kestrovane_mdb.template"), source);
    fs::permissions(source, fs::perms::owner_read | fs::perms::owner_write);
    std::ofstream(backup) << "an older backup that anyone could read";
    fs::permissions(backup, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    CopyWholeFile(source, backup, kv::history_db::CopyPermissions::OfSource);
    EXPECT_EQ(fs::status(backup).permissions(), fs::perms::owner_read | fs::perms::owner_write);

    const std::string replaced = files.file("replaced.mdb");
    std::ofstream(replaced) << "a database of the user's";
    fs::permissions(replaced, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    CopyWholeFile(files.file("kestrovane_mdb.template"), replaced);
    EXPECT_EQ(fs::status(replaced).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
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

    // The copy cannot be written beside the target (a full disk): the earlier backup must survive.
    std::ofstream(target) << "the earlier backup";
    const auto filesBefore = std::distance(std::filesystem::directory_iterator(files.path()), {});
    kv::jet::durable_io::setStepProbe(
        [] { throw kv::jet::durable_io::IoError("Cannot write: the disk is full", ENOSPC); });
    EXPECT_THAT([&] { CopyWholeFile(source, target); },
                ThrowsMessage<std::runtime_error>(StartsWith("Cannot create file " + target)));
    kv::jet::durable_io::setStepProbe({});
    EXPECT_EQ(fileBytes(target), "the earlier backup");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(files.path()), {}), filesBefore)
        << "nothing is left beside it";
}
