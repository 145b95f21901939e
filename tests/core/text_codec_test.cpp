// Tests of the UTF-8 <-> Windows-1252 conversion.
#include "core/text_codec.h"

#include <gtest/gtest.h>

namespace {

struct tPair {
    const char* Utf8;
    const char* Cp1252;
};

TEST(TextCodec, ConvertsCharactersOfTheCodePageBothWays) {
    const tPair cases[] = {
        {"Vessrin", "Vessrin"},
        {"M\xC3\xBCller", "M\xFCller"},
        {"Stra\xC3\x9F"
         "e",
         "Stra\xDF"
         "e"},
        {"\xE2\x82\xAC", "\x80"},
        {"\xC5\x92", "\x8C"},
        {"\xC5\xB8", "\x9F"},
        {"\xC3\xBF", "\xFF"},
        {"\xE2\x80\x9C"
         "a"
         "\xE2\x80\x9D",
         "\x93"
         "a"
         "\x94"},
        {"\xC2\xA0", "\xA0"},
    };
    for (const tPair& c : cases) {
        EXPECT_EQ(Utf8ToCp1252(c.Utf8), c.Cp1252) << c.Utf8;
        EXPECT_EQ(Cp1252ToUtf8(c.Cp1252), c.Utf8) << c.Utf8;
    }
}

TEST(TextCodec, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    const tPair cases[] = {
        {"\xE4\xB8\xAD", "?"},     // CJK
        {"\xF0\x9F\x98\x80", "?"}, // emoji, four bytes
        {"a\xC4\x80"
         "b",
         "a?b"},           // Latin Extended-A outside the code page
        {"\xC2\x80", "?"}, // a C1 control the code page does not carry
    };
    for (const tPair& c : cases)
        EXPECT_EQ(Utf8ToCp1252(c.Utf8), c.Cp1252) << c.Utf8;
}

TEST(TextCodec, MalformedUtf8GivesOneQuestionMarkPerBadByte) {
    const tPair cases[] = {
        {"\xC3", "?"},                // truncated at the end
        {"\x80", "?"},                // stray continuation byte
        {"\xC0\xAF", "??"},           // overlong
        {"\xED\xA0\x80", "???"},      // surrogate
        {"\xF5\x80\x80\x80", "????"}, // beyond U+10FFFF
        {"a\xFF"
         "b",
         "a?b"},
        {"\xE2\x82"
         "x",
         "??x"}, // sequence cut by an ASCII byte
    };
    for (const tPair& c : cases)
        EXPECT_EQ(Utf8ToCp1252(c.Utf8), c.Cp1252) << c.Cp1252;
}

TEST(TextCodec, EveryByteSurvivesARoundTrip) {
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(one)), one) << b;
    }
}

TEST(TextCodec, UndefinedBytesDecodeToTheirControlCharacters) {
    EXPECT_EQ(Cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
}

} // namespace
