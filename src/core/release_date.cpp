// Month names, English ordinals and the maintenance period text.
#include "core/release_date.h"

const std::array<const char*, 13> GermanMonthNames = {
    "",     "Januar", "Februar",   "M\xC3\xA4rz", "April",    "Mai",     "Juni",
    "Juli", "August", "September", "Oktober",     "November", "Dezember"};

const std::array<const char*, 13> EnglishMonthNames = {
    "",     "January", "February",  "March",   "April",    "May",     "June",
    "July", "August",  "September", "October", "November", "December"};

namespace {
const char* MonthOf(const std::array<const char*, 13>& table, int month) {
    return month >= 1 && month <= 12 ? table[static_cast<std::size_t>(month)] : "";
}
} // namespace

const char* GermanMonthName(int month) {
    return MonthOf(GermanMonthNames, month);
}

const char* EnglishMonthName(int month) {
    return MonthOf(EnglishMonthNames, month);
}

std::string EnglishOrdinal(long long number) {
    // Unsigned arithmetic: the absolute value of the smallest long long does
    // not fit the signed type.
    const unsigned long long magnitude = number < 0 ? 0ULL - static_cast<unsigned long long>(number)
                                                    : static_cast<unsigned long long>(number);
    const unsigned long long lastTwo = magnitude % 100;
    const char* suffix = "th";
    if (lastTwo < 11 || lastTwo > 13) {
        switch (magnitude % 10) {
        case 1:
            suffix = "st";
            break;
        case 2:
            suffix = "nd";
            break;
        case 3:
            suffix = "rd";
            break;
        default:
            break;
        }
    }
    return std::to_string(number) + suffix;
}

std::string GermanDateText(int day, int month, int year) {
    return std::to_string(day) + ". " + GermanMonthName(month) + " " + std::to_string(year);
}

std::string EnglishDateText(int day, int month, int year) {
    return std::string(EnglishMonthName(month)) + " " + EnglishOrdinal(day) + " " +
           std::to_string(year);
}

std::string MaintenancePeriod(bool german) {
    if (german)
        return "M\xC3\xA4rz 1996 bis " + GermanDateText(ReleaseDay, ReleaseMonth, ReleaseYear);
    return "March 1996 until " + EnglishDateText(ReleaseDay, ReleaseMonth, ReleaseYear);
}
