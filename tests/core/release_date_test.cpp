// Tests of the release date texts: month tables, English ordinals, the maintenance period.
#include "core/release_date.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

TEST(EnglishOrdinal, TakesTheSuffixOfTheLastDigitsAndTheTeens) {
    const std::pair<long long, const char*> cases[] = {
        {1, "1st"},     {2, "2nd"},       {3, "3rd"},     {4, "4th"},     {11, "11th"},
        {12, "12th"},   {13, "13th"},     {21, "21st"},   {22, "22nd"},   {23, "23rd"},
        {111, "111th"}, {112, "112th"},   {113, "113th"}, {101, "101st"}, {0, "0th"},
        {10, "10th"},   {1000, "1000th"}, {16, "16th"},
    };
    for (const auto& [number, text] : cases)
        EXPECT_EQ(EnglishOrdinal(number), text) << number;
}

TEST(EnglishOrdinal, NegativeNumbersTakeTheSuffixOfTheirAbsoluteValue) {
    EXPECT_EQ(EnglishOrdinal(-1), "-1st");
    EXPECT_EQ(EnglishOrdinal(-12), "-12th");
    EXPECT_EQ(EnglishOrdinal(-22), "-22nd");
    // The one value whose absolute value has no signed form.
    EXPECT_EQ(EnglishOrdinal(LLONG_MIN), std::to_string(LLONG_MIN) + "th");
}

TEST(MonthNames, TablesRunFromJanuaryToDecemberAndRefuseOtherMonths) {
    EXPECT_STREQ(GermanMonthName(1), "Januar");
    EXPECT_STREQ(GermanMonthName(3), "M\xC3\xA4rz");
    EXPECT_STREQ(GermanMonthName(5), "Mai");
    EXPECT_STREQ(GermanMonthName(12), "Dezember");
    EXPECT_STREQ(EnglishMonthName(1), "January");
    EXPECT_STREQ(EnglishMonthName(5), "May");
    EXPECT_STREQ(EnglishMonthName(12), "December");
    for (int month : {0, 13, -1, INT_MIN, INT_MAX}) {
        EXPECT_STREQ(GermanMonthName(month), "") << month;
        EXPECT_STREQ(EnglishMonthName(month), "") << month;
    }
    for (int month = 1; month <= 12; ++month) {
        EXPECT_STRNE(GermanMonthNames[static_cast<std::size_t>(month)], "");
        EXPECT_STRNE(EnglishMonthNames[static_cast<std::size_t>(month)], "");
    }
}

TEST(DateTexts, GermanAndEnglishOrderOfDayAndMonth) {
    EXPECT_EQ(GermanDateText(16, 5, 2011), "16. Mai 2011");
    EXPECT_EQ(GermanDateText(3, 6, 2011), "3. Juni 2011");
    EXPECT_EQ(EnglishDateText(16, 5, 2011), "May 16th 2011");
    EXPECT_EQ(EnglishDateText(1, 3, 1996), "March 1st 1996");
}

TEST(DateTexts, MaintenancePeriodEndsAtTheReleaseDate) {
    EXPECT_EQ(MaintenancePeriod(true), "M\xC3\xA4rz 1996 bis 16. Mai 2011");
    EXPECT_EQ(MaintenancePeriod(false), "March 1996 until May 16th 2011");
}

} // namespace
