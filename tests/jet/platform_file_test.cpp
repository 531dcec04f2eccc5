// The promises of the file layer that the engine's commit protocol rests on, checked against the
// real file system of whichever system runs the test (Linux, or Windows under Wine).
#include "jet/platform_file.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "jet/durable_io.h"
#include "jet/writable_database.h"
#include "jet_fixtures.h"

namespace kv::jet {
namespace {

namespace os = platform_file;
namespace fs = std::filesystem;

// Wine keeps Windows' classic rule that a rename never replaces a file someone has open: the
// rename of POSIX that Windows 10 has is not there.
bool renameKeepsTheClassicRule() {
#ifdef _WIN32
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
#else
    return false;
#endif
}

class PlatformFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("kv_platform_file_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string pathOf(const std::string& name) const { return os::utf8Of(folder_ / os::toPath(name)); }

    std::string write(const std::string& name, const std::string& text) const {
        std::ofstream(folder_ / os::toPath(name), std::ios::binary) << text;
        return pathOf(name);
    }

    static std::string read(const std::string& path) {
        std::ifstream in(os::toPath(path), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    static std::string readAt(int fd, std::size_t length, std::uint64_t offset) {
        std::string bytes(length, '\0');
        const std::int64_t n = os::readAt(fd, bytes.data(), length, offset);
        if (n < 0) throw std::runtime_error("read failed");
        bytes.resize(static_cast<std::size_t>(n));
        return bytes;
    }

    // Writing a file of that name is refused in the user's words and leaves nothing behind.
    void expectNameRefused(const std::string& name) const {
        try {
            durable_io::replaceWhole(pathOf(name), std::vector<std::uint8_t>{'x'}, std::nullopt);
            ADD_FAILURE() << "the name was taken: " << name;
        } catch (const durable_io::IoError& error) {
            EXPECT_NE(std::string(error.what()).find("the name cannot be used for a file on this system"),
                      std::string::npos)
                << error.what();
        }
        EXPECT_TRUE(fs::is_empty(folder_));
    }

    fs::path folder_;
};

TEST_F(PlatformFileTest, LocksExcludeOtherOpensOfTheFileButNeverItsBytes) {
    const std::string path = write("locked.mdb", "0123456789");
    const int writer = os::open(path, os::Open::Update);
    const int reader = os::open(path, os::Open::Read);
    ASSERT_GE(writer, 0);
    ASSERT_GE(reader, 0);

    ASSERT_TRUE(os::tryLock(writer, os::LockMode::Exclusive));
    EXPECT_FALSE(os::tryLock(reader, os::LockMode::Shared));
    EXPECT_EQ(errno, EWOULDBLOCK);
    // The lock is advisory: the other open still reads, and the holder writes, every byte.
    EXPECT_EQ(readAt(reader, 10, 0), "0123456789");
    EXPECT_EQ(os::writeAt(writer, "AB", 2, 8), 2);
    EXPECT_EQ(readAt(reader, 4, 6), "67AB");
    os::unlock(writer);

    const int third = os::open(path, os::Open::Read);
    ASSERT_TRUE(os::tryLock(reader, os::LockMode::Shared));
    ASSERT_TRUE(os::tryLock(writer, os::LockMode::Shared));
    EXPECT_FALSE(os::tryLock(third, os::LockMode::Exclusive));
    os::unlock(reader);
    os::unlock(writer);
    EXPECT_TRUE(os::tryLock(third, os::LockMode::Exclusive));
    for (int fd : {reader, writer, third}) os::close(fd);
}

TEST_F(PlatformFileTest, PositionedReadsWritesAndResizeWorkPastTheEnd) {
    const std::string path = write("pages.bin", "abc");
    const int fd = os::open(path, os::Open::Update);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(readAt(fd, 4, 3), "");
    EXPECT_EQ(os::writeAt(fd, "xyz", 3, 6), 3);
    os::Status status;
    ASSERT_TRUE(os::statusOf(fd, status));
    EXPECT_EQ(status.size, 9u);
    EXPECT_TRUE(status.regular);
    EXPECT_EQ(readAt(fd, 9, 0), std::string("abc\0\0\0xyz", 9));
    ASSERT_TRUE(os::resize(fd, 2));
    ASSERT_TRUE(os::flush(fd));
    os::close(fd);
    EXPECT_EQ(read(path), "ab");
}

TEST_F(PlatformFileTest, ARenameReplacesAnOpenFileAndGivesThePathAnotherIdentity) {
    if (renameKeepsTheClassicRule()) GTEST_SKIP() << "this system's rename never replaces an open file";
    const std::string target = write("history.mdb", "old");
    const int holder = os::open(target, os::Open::Update);
    ASSERT_GE(holder, 0);
    os::Status before;
    ASSERT_TRUE(os::statusOf(holder, before));

    durable_io::replaceWhole(target, std::vector<std::uint8_t>{'n', 'e', 'w'}, std::nullopt);

    EXPECT_EQ(read(target), "new");
    EXPECT_EQ(readAt(holder, 3, 0), "old");  // the holder keeps the file it opened
    const std::optional<os::Status> after = os::statusAt(target, true);
    ASSERT_TRUE(after);
    EXPECT_NE(after->identity, before.identity);
    os::close(holder);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);  // no copy left
}

TEST_F(PlatformFileTest, NamesBeyondTheCodePageAreWrittenAndFoundAsTyped) {
    const std::string name = "Žluťoučký kůň 日本.mdb";
    durable_io::replaceWhole(pathOf(name), std::vector<std::uint8_t>{'o', 'k'}, std::nullopt);
    ASSERT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
    EXPECT_EQ(os::utf8Of(fs::directory_iterator(folder_)->path().filename()), name);
    EXPECT_EQ(read(pathOf(name)), "ok");
    EXPECT_TRUE(durable_io::exists(pathOf(name)));
}

TEST_F(PlatformFileTest, ExistingAndMissingNamesAreToldApart) {
    const std::string path = write("taken.txt", "mine");
    EXPECT_EQ(os::open(path, os::Open::CreateNew), -1);
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(read(path), "mine");
    EXPECT_EQ(os::open(pathOf("missing.txt"), os::Open::Read), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(os::removeFile(pathOf("missing.txt")));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(os::statusAt(pathOf("missing.txt"), false));
    const std::optional<os::Status> folder = os::statusAt(folder_.string(), true);
    ASSERT_TRUE(folder);
    EXPECT_FALSE(folder->regular);
}

TEST_F(PlatformFileTest, ANameTheSystemCannotHoldIsRefusedInItsOwnWordsAndLeavesNothing) {
    expectNameRefused(std::string(300, 'n') + ".mdb");
}

// What only Windows refuses: a name with a character no Windows folder holds, and a file that
// another program opened without sharing it.
TEST_F(PlatformFileTest, WindowsRefusesForbiddenNamesAndUnsharedFilesInItsOwnWords) {
#ifndef _WIN32
    GTEST_SKIP() << "POSIX folders hold every character but / and share every file";
#else
    expectNameRefused("calls<2026>.mdb");

    const std::string database = pathOf("calls.mdb");
    const std::vector<std::uint8_t> original = testing::fileBytes(testing::fixture("emptyJet4.mdb"));
    durable_io::replaceWhole(database, original, std::nullopt);
    HANDLE unshared = ::CreateFileW(fs::path(folder_ / "calls.mdb").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(unshared, INVALID_HANDLE_VALUE);
    try {
        WritableDatabase refused(database);
        FAIL() << "a file another program holds unshared was opened for writing";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot write " + database + ": another program has it open");
    }
    ::CloseHandle(unshared);
    EXPECT_EQ(testing::fileBytes(database), original);
#endif
}

// Access keeps NAME.ldb open beside NAME.mdb while it has the database open; a writer that finds it
// so refuses the file. One left behind by a program that is gone blocks nothing.
TEST_F(PlatformFileTest, ADatabaseWhoseJetLockFileIsHeldOpenIsNotWritten) {
    const std::string database = pathOf("calls.mdb");
    const std::vector<std::uint8_t> original = testing::fileBytes(testing::fixture("emptyJet4.mdb"));
    durable_io::replaceWhole(database, original, std::nullopt);
    const std::string lockFile = write("calls.ldb", "CALLS-PC    Admin");
    {
        std::ofstream accessHoldsIt(lockFile, std::ios::app);
#ifdef _WIN32
        try {
            WritableDatabase refused(database);
            FAIL() << "the database was opened for writing under Access";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot write " + database +
                                                     ": Microsoft Access has it open (its lock file " + lockFile +
                                                     " is in use); close it in Access and try again");
        }
#else
        // No Jet runs here to hold it: the lock file is one a copy brought along.
        EXPECT_NO_THROW(WritableDatabase{database});
#endif
    }
    EXPECT_NO_THROW(WritableDatabase{database});
    EXPECT_EQ(testing::fileBytes(database), original);
    EXPECT_EQ(read(lockFile), "CALLS-PC    Admin");
}

}  // namespace
}  // namespace kv::jet
