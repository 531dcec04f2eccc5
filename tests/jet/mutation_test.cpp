// Thousands of damaged copies of the fixtures, read from end to end under AddressSanitizer: every
// one must read or end in a FormatError, never crash, overrun or hang.

#include <gtest/gtest.h>

#include <random>

#include "jet/database.h"
#include "jet_fixtures.h"
#include "read_everything.h"

namespace kv::jet {
namespace {

constexpr int kMutationsPerFixture = 400;

// Damage lands where it matters most: the first pages hold the header, the catalog and the system
// tables' definitions, data and indexes.
std::vector<std::uint8_t> mutate(const std::vector<std::uint8_t>& original, std::mt19937& random) {
    std::vector<std::uint8_t> bytes = original;
    std::size_t span = std::min<std::size_t>(bytes.size(), 24 * format::kPageSize);
    int changes = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < changes; ++i) {
        std::size_t at = random() % span;
        switch (random() % 4) {
        case 0: bytes[at] = static_cast<std::uint8_t>(random()); break;
        case 1: bytes[at] ^= static_cast<std::uint8_t>(1u << (random() % 8)); break;
        case 2: bytes[at] = 0xff; break;
        default: bytes[at] = 0x00; break;
        }
    }
    if (random() % 16 == 0) bytes.resize(random() % bytes.size());
    return bytes;
}

TEST(DamagedFiles, MutatedFixturesNeverCrash) {
    std::mt19937 random(20240607);
    int read = 0, refused = 0;
    for (const char* name :
         {"emptyJet4.mdb", "adox_jet4.mdb", "delTestV2000.mdb", "overflowTestV2000.mdb", "compIndexTestV2000.mdb",
          "test2V2000.mdb", "numericV2003.mdb", "testUnicodeCompV2003.mdb"}) {
        auto original = testing::fileBytes(testing::fixture(name));
        for (int i = 0; i < kMutationsPerFixture; ++i) {
            try {
                testing::readEverything(Database(PageFile(name, mutate(original, random))));
                ++read;
            } catch (const FormatError&) {
                ++refused;
            }
        }
    }
    EXPECT_EQ(read + refused, 8 * kMutationsPerFixture);
    EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace kv::jet
