// Loading and saving the high-score list in section "HighScore" of the settings file.
#include "table/high_score_file.h"

#include "platform/settings_file.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {
const char* const kSection = "HighScore";
}

tHighScore LoadHighScores() {
    tHighScore list{};
    for (int n = 1; n <= 5; ++n) {
        const std::string slot = std::to_string(n);
        const std::string name = ReadProfileString(kSection, "Player" + slot, "");
        // Stored as a 16-bit value: anything wider wraps the way it always has.
        const auto points =
            static_cast<std::uint16_t>(ReadProfileInt(kSection, "Points" + slot, 0));
        AddHighScore(list, name, points);
    }
    return list;
}

void WriteHighScores(const tHighScore& list) {
    // One replacement of the file: a name never lands beside another
    // entry's points.
    std::vector<std::pair<std::string, std::string>> entries;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string slot = std::to_string(i + 1);
        entries.emplace_back("Player" + slot, list[i].Name);
        entries.emplace_back("Points" + slot, std::to_string(list[i].Points));
    }
    WriteProfileStrings(kSection, entries);
}
