// UTF-8 as the engine and the table access layer both read and write it.

#include <gtest/gtest.h>

#include <stdexcept>

#include "jet/text_codec.h"
#include "jet/text_encoder.h"
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

std::vector<std::uint8_t> bytes(std::initializer_list<int> values) {
    return std::vector<std::uint8_t>(values.begin(), values.end());
}

TEST(StoredText, ReadsBothFormsWithTheirRunsPairsAndStraySurrogates) {
    // UCS-2: a pair, then a high surrogate without its low half, then a low one alone.
    EXPECT_EQ(decodeText(bytes({'K', 0, 0x3d, 0xd8, 0xfb, 0xdc, 0x3d, 0xd8, '1', 0, 0x00, 0xdc})),
              "K\xF0\x9F\x93\xBB\xEF\xBF\xBD"
              "1\xEF\xBF\xBD");
    // Compressed: ASCII and Latin-1 one byte each, a two-byte run (a euro sign) between 00 bytes.
    EXPECT_EQ(decodeText(bytes({0xff, 0xfe, 'D', 0xfc, 'L', 0, 0xac, 0x20, 0, 'K'})),
              "D\xC3\xBCL\xE2\x82\xAC"
              "K");
    // A high surrogate ending a two-byte run, then one-byte text: the stray half comes first.
    EXPECT_EQ(decodeText(bytes({0xff, 0xfe, 0, 0x3d, 0xd8, 0, 'A', 'B'})),
              "\xEF\xBF\xBD"
              "AB");
    // An odd byte ending a two-byte run is dropped, as is one ending UCS-2.
    EXPECT_EQ(decodeText(bytes({0xff, 0xfe, 'A', 0, 0x41})), "A");
    EXPECT_EQ(decodeText(bytes({'A', 0, 'B'})), "A");

    std::string reused = "a longer text than the next";
    decodeTextInto(bytes({0xff, 0xfe, 'W', '1', 'A', 'W'}), reused);
    EXPECT_EQ(reused, "W1AW");
}

TEST(StoredText, WritesTheShorterFormAndReadsItBack) {
    EXPECT_EQ(encodeStoredText("W1AW", true), bytes({0xff, 0xfe, 'W', '1', 'A', 'W'}));
    EXPECT_EQ(encodeStoredText("W1AW", false), bytes({'W', 0, '1', 0, 'A', 0, 'W', 0}));
    // Too short to gain from the mark, a character past one byte, or U+0000: UCS-2.
    EXPECT_EQ(encodeStoredText("K", true), bytes({'K', 0}));
    EXPECT_EQ(encodeStoredText("A\xE2\x82\xAC", true), bytes({'A', 0, 0xac, 0x20}));
    EXPECT_EQ(encodeStoredText(std::string("AB\0C", 4), true), bytes({'A', 0, 'B', 0, 0, 0, 'C', 0}));
    EXPECT_EQ(encodeStoredText("D\xC3\xBCL", true), bytes({0xff, 0xfe, 'D', 0xfc, 'L'}));
    for (const std::string& text :
         std::vector<std::string>{"", "W1AW", "M\xC3\xBCnchen", "\xF0\x9F\x93\xBB 73", std::string("a\0b", 3)})
        for (bool compressible : {true, false})
            EXPECT_EQ(decodeText(encodeStoredText(text, compressible)), text) << text;
    EXPECT_EQ(utf16Length("M\xC3\xBCnchen \xF0\x9F\x93\xBB"), 10u);
    EXPECT_THROW(encodeStoredText("ok\xC3", true), std::runtime_error);
}

}  // namespace
}  // namespace kv::jet
