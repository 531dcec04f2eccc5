// libFuzzer target: opens the input as a database and reads everything in it. Any outcome but a
// FormatError or success is a bug.

#include <cstddef>
#include <cstdint>

#include "../read_everything.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        kv::jet::testing::readEverything(kv::jet::Database(kv::jet::PageFile("fuzz input", {data, data + size})));
    } catch (const kv::jet::FormatError&) {
    }
    return 0;
}
