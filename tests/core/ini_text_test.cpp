// Tests of the INI text operations and the integer read of settings values.
#include "core/ini_text.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TEST(IniRead, NamesMatchWithoutRegardToCase) {
    const std::string text = "[MainForm]\nTop=12\n";
    const char* sections[] = {"MainForm", "mainform", "MAINFORM", " MainForm "};
    const char* keys[] = {"Top", "top", "TOP"};
    for (const char* s : sections)
        for (const char* k : keys)
            EXPECT_EQ(IniReadValue(text, s, k), "12") << s << " " << k;
    // A name that only begins like the one wanted is another name.
    EXPECT_EQ(IniReadValue("[Colors]\nLine10=5\nLine1=7\n", "colors", "LINE1"), "7");
    EXPECT_EQ(IniReadValue("[Colors1]\nA=5\n[Colors]\nA=7\n", "Colors", "A"), "7");
    EXPECT_FALSE(IniReadValue("[Colors]\nLine1=7\n", "Colors", "Line10").has_value());
}

TEST(IniRead, BlanksAroundNamesAndValuesAreIgnored) {
    EXPECT_EQ(IniReadValue("  [ Colors ]  \n\t Line1 \t=  0x0000FF  \n", "Colors", "Line1"),
              "0x0000FF");
}

TEST(IniRead, QuotesAreStrippedOnlyWhenTheyEncloseTheValue) {
    struct tCase {
        const char* Line;
        const char* Value;
    } cases[] = {
        {"K=\"a b\"", "a b"},     {"K='a b'", "a b"}, {"K=\" a \"", " a "}, {"K=\"a'", "\"a'"},
        {"K=\"a\" b", "\"a\" b"}, {"K=\"", "\""},     {"K=\"\"", ""},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(IniReadValue(std::string("[S]\n") + c.Line + "\n", "S", "K"), c.Value) << c.Line;
}

TEST(IniRead, MissingSectionOrKeyGivesNothingButAnEmptyValueIsAValue) {
    const std::string text = "Top=1\n[A]\nTop=\n[B]\nLeft=3\n";
    EXPECT_EQ(IniReadValue(text, "A", "Top"), "");
    EXPECT_FALSE(IniReadValue(text, "A", "Left"));
    EXPECT_FALSE(IniReadValue(text, "C", "Top"));
    EXPECT_FALSE(IniReadValue(text, "B", "Top")); // the key before any section belongs to none
}

TEST(IniRead, FirstMatchingSectionAndFirstMatchingKeyWin) {
    const std::string text = "[S]\nK=1\nk=2\n[s]\nK=3\nL=4\n";
    EXPECT_EQ(IniReadValue(text, "S", "K"), "1");
    EXPECT_FALSE(IniReadValue(text, "S", "L"));
}

TEST(IniRead, LongValuesAreCutTo2047Characters) {
    const std::string text = "[S]\nK=" + std::string(5000, 'x') + "\n";
    EXPECT_EQ(IniReadValue(text, "S", "K"), std::string(2047, 'x'));
}

TEST(IniRead, LineEndsOfAnyKindAndAMissingFinalNewlineRead) {
    EXPECT_EQ(IniReadValue("[S]\r\nA=1\r\nB=2\r\n", "S", "A"), "1");
    EXPECT_EQ(IniReadValue("[S]\r\nA=1\r\nB=2", "S", "B"), "2");
    EXPECT_EQ(IniReadValue("[S]\nA=1", "S", "A"), "1");
}

TEST(IniSet, ReplacingAKeyKeepsEveryOtherByte) {
    const std::string text = "; junk\x01\r\n[S]\r\nA = 1\r\nB=2\r\n\r\n[T]\r\nA=9";
    EXPECT_EQ(IniSetValue(text, "s", "a", "7"),
              "; junk\x01\r\n[S]\r\nA=7\r\nB=2\r\n\r\n[T]\r\nA=9");
}

TEST(IniSet, OnlyTheFirstOfDuplicateKeysChanges) {
    EXPECT_EQ(IniSetValue("[S]\nK=1\nK=2\n", "S", "K", "3"), "[S]\nK=3\nK=2\n");
}

TEST(IniSet, NewKeyGoesToTheEndOfItsSectionBeforeBlankLines) {
    EXPECT_EQ(IniSetValue("[S]\nA=1\n\n[T]\nB=2\n", "S", "C", "3"), "[S]\nA=1\nC=3\n\n[T]\nB=2\n");
    EXPECT_EQ(IniSetValue("[S]\r\nA=1\r\n", "S", "C", "3"), "[S]\r\nA=1\r\nC=3\r\n");
}

TEST(IniSet, NewKeyAfterALastLineWithoutNewline) {
    EXPECT_EQ(IniSetValue("[S]\nA=1", "S", "C", "3"), "[S]\nA=1\nC=3\n");
    EXPECT_EQ(IniSetValue("[S]", "S", "C", "3"), "[S]\nC=3\n");
}

TEST(IniSet, NewSectionIsAppendedAfterTheWholeText) {
    EXPECT_EQ(IniSetValue("", "S", "K", "v"), "[S]\nK=v\n");
    EXPECT_EQ(IniSetValue("[A]\nX=1\n", "S", "K", "v"), "[A]\nX=1\n\n[S]\nK=v\n");
    EXPECT_EQ(IniSetValue("[A]\r\nX=1", "S", "K", "v"), "[A]\r\nX=1\r\n\r\n[S]\r\nK=v\r\n");
}

TEST(IniSet, ALineBreakInAValueCannotAddKeys) {
    const std::string text = IniSetValue("", "S", "Name", "Bob\r\nTop=5");
    EXPECT_FALSE(IniReadValue(text, "S", "Top"));
    EXPECT_EQ(IniReadValue(text, "S", "Name"), "Bob  Top=5");
}

TEST(IniSet, ValuesReadBackAsWritten) {
    const char* values[] = {" lead", "trail ", "\"quoted\"", "'single'", "a=b", "", "\"", "x"};
    for (const char* v : values)
        EXPECT_EQ(IniReadValue(IniSetValue("[S]\nK=1\n", "S", "K", v), "S", "K"), v) << v;
}

TEST(IniErase, SectionGoesAndOtherLinesStayByteIdentical) {
    const std::string text = "[A]\r\nX=1\r\n\r\n[Names]\r\n00=Ann\r\n01=Bob\r\n\r\n[B]\r\nY=2";
    EXPECT_EQ(IniEraseSection(text, "names"), "[A]\r\nX=1\r\n\r\n[B]\r\nY=2");
}

TEST(IniErase, EveryDuplicateOfTheSectionGoes) {
    // A stale duplicate would otherwise resurface as the first match.
    EXPECT_EQ(IniEraseSection("[N]\n00=a\n[X]\nk=1\n[n]\n05=old\n", "N"), "[X]\nk=1\n");
}

TEST(IniErase, MissingSectionLeavesTheText) {
    const std::string text = "[A]\nX=1";
    EXPECT_EQ(IniEraseSection(text, "B"), text);
}

TEST(IniTextToInt, ConvertsAsTheSettingsFileDoes) {
    constexpr std::int64_t kDef = -77;
    struct tCase {
        const char* Text;
        std::int64_t Value;
    } cases[] = {
        {"255", 255},
        {"0x0000FF", 255},
        {"0X0000ff", 255},
        {"$1388", 5000},
        {"0x80000014", 0x80000014},
        {"$FFFFFFFF", 0xFFFFFFFF},
        {" 12", 12},
        {"+12", 12},
        {"-12", -12},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483648LL},
        {"0", 0},
        {"0x", kDef},
        {"0x ", kDef},
        {"$", kDef},
        {"12 ", kDef},
        {"", kDef},
        {"-", kDef},
        {"abc", kDef},
        {"12a", kDef},
        {"1.5", kDef},
        {"2147483648", kDef},
        {"-2147483649", kDef},
        {"$100000000", kDef},
        {"99999999999999999999999", kDef},
        {"0x-5", kDef},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(IniTextToInt(c.Text, kDef), c.Value) << '"' << c.Text << '"';
}

std::string RandomBytes(std::mt19937& gen, std::size_t size) {
    // Mostly text-like bytes so that brackets, '=' and line ends occur often.
    const std::string alphabet = std::string("[]=\r\n \tSKsk01x\"") + '\0';
    std::uniform_int_distribution<int> pick(0, 3);
    std::uniform_int_distribution<int> any(0, 255);
    std::uniform_int_distribution<std::size_t> letter(0, alphabet.size() - 1);
    std::string s;
    for (std::size_t i = 0; i < size; ++i)
        s += pick(gen) == 0 ? static_cast<char>(any(gen)) : alphabet[letter(gen)];
    return s;
}

TEST(IniNastyText, SetThenReadGivesTheValueAndANewSectionKeepsTheText) {
    std::mt19937 gen(20240601);
    std::vector<std::string> texts = {
        std::string("\0\0\0", 3),
        std::string(3 << 20, 'z'), // one line of megabytes
        "[S\n[S]]\n=\n==\n[]\n[\n]\n",
        "\r\r\r\n\n\r",
        "[S]\nK\nK=\"\n",
    };
    for (int i = 0; i < 200; ++i)
        texts.push_back(RandomBytes(gen, static_cast<std::size_t>(i * 7)));
    for (const std::string& t : texts) {
        const std::string set = IniSetValue(t, "S", "K", "v");
        EXPECT_EQ(IniReadValue(set, "S", "K"), "v");
        const std::string fresh = IniSetValue(t, "Fresh Section", "K", "v");
        if (!IniReadValue(t, "Fresh Section", "K")) {
            EXPECT_EQ(fresh.compare(0, t.size(), t), 0);
        }
        EXPECT_FALSE(IniReadValue(IniEraseSection(set, "S"), "S", "K"));
    }
}

// Worked out by hand: U+0141 is C5 81 in UTF-8, U+20AC (the euro sign, which
// Windows-1252 holds as 0x80) stays plain, a blank becomes %20.
TEST(IniText, WhatTheCodePageHoldsStaysAsItIsTheRestIsMarkedAndEscaped) {
    const struct {
        const char* text;
        const char* stored;
    } cases[] = {
        {"", ""},
        {"*", "*"},
        {"/home/anna/Spiele", "/home/anna/Spiele"},
        {"/home/J\xC3\xBCrgen/Zubeh\xC3\xB6r", "/home/J\xC3\xBCrgen/Zubeh\xC3\xB6r"},
        {"/home/x/\xE2\x82\xAC", "/home/x/\xE2\x82\xAC"},
        {"/home/\xC5\x81ukasz/My Games", "utf8:/home/%C5%81ukasz/My%20Games"},
        {"/tmp/\xE6\x97\xA5%", "utf8:/tmp/%E6%97%A5%25"},
        {"utf8:/a", "utf8:utf8%3A/a"},
        {"/09/\xC5\x81\n", "utf8:/09/%C5%81%0A"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IniEncodeText(c.text), c.stored) << c.text;
        EXPECT_EQ(IniDecodeText(c.stored), c.text) << c.stored;
    }
    // Hand-edited escapes that do not parse read as they stand.
    for (const char* bad : {"utf8:/a%", "utf8:/a%4", "utf8:/a%G1", "utf8:%%"})
        EXPECT_EQ(IniDecodeText(bad), bad) << bad;
    EXPECT_EQ(IniDecodeText("utf8:/a%2f"), "/a/");
}

} // namespace
