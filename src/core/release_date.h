// The program's release date, the month name tables and the date texts built from them.
#pragma once

#include <array>
#include <string>

constexpr int ReleaseDay = 16;
constexpr int ReleaseMonth = 5;
constexpr int ReleaseYear = 2011;

// Index 1..12 (entry 0 is empty), UTF-8. The German table is also what the
// version page is searched for, whatever the program's language.
extern const std::array<const char*, 13> GermanMonthNames;
extern const std::array<const char*, 13> EnglishMonthNames;

// The table entry of a month; "" for a month outside 1..12.
const char* GermanMonthName(int month);
const char* EnglishMonthName(int month);

// 1st, 2nd, 3rd, 4th, 11th ... 13th, 21st, 111th; a negative number takes the
// suffix of its absolute value (-2nd).
std::string EnglishOrdinal(long long number);

// "16. Mai 2011" and "May 16th 2011".
std::string GermanDateText(int day, int month, int year);
std::string EnglishDateText(int day, int month, int year);

// How long the program has been maintained, up to its release date:
// "März 1996 bis 16. Mai 2011" or "March 1996 until May 16th 2011".
std::string MaintenancePeriod(bool german);
