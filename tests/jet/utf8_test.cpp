// UTF-8 as the engine and the table access layer both read and write it.

#include <gtest/gtest.h>

#include <stdexcept>

#include "jet/text_codec.h"
#include "jet/utf8.h"

namespace kv::jet {
namespace {

TEST(Utf8, WritesAndReadsOneToFourByteSequences) {
    const std::pair<char32_t, std::string> cases[] = {
        {U'A', "A"}, {U'\u00fc', "\xC3\xBC"}, {U'\u20ac', "\xE2\x82\xAC"}, {U'\U0001F4FB', "\xF0\x9F\x93\xBB"}};
    for (const auto& [codePoint, bytes] : cases) {
        std::string written = "x";
        appendUtf8(written, codePoint);
        EXPECT_EQ(written, "x" + bytes);
        auto read = decodeUtf8(bytes + "tail");
        ASSERT_TRUE(read) << bytes;
        EXPECT_EQ(read->codePoint, codePoint);
        EXPECT_EQ(read->length, bytes.size());
    }
}

TEST(Utf8, RefusesWhatIsNotUtf8InBothReaders) {
    EXPECT_FALSE(decodeUtf8(""));
    for (const std::string bad : {"\x80", "\xC3", "\xC3(", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                                  "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80"}) {
        EXPECT_FALSE(decodeUtf8(bad)) << testing::PrintToString(bad);
        EXPECT_THROW(utf8ToCodePoints("ok" + bad), std::runtime_error) << testing::PrintToString(bad);
    }
    EXPECT_EQ(utf8ToCodePoints("K\xC3\xBC\xE2\x82\xAC"), U"K\u00fc\u20ac");
}

}  // namespace
}  // namespace kv::jet
