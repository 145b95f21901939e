// The list of the five best results, one entry per name.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct tHighScoreEntry {
    std::string Name;
    std::uint16_t Points = 0;
    bool operator==(const tHighScoreEntry& o) const { return Name == o.Name && Points == o.Points; }
};

// Slot 1 (best) is index 0.
using tHighScore = std::array<tHighScoreEntry, 5>;

// The player name of a board caption: "\\pc\name" gives "name", "\\pc" gives "pc".
std::string HighScoreName(const std::string& caption);

// Offers one result; see the rules of the list (limits 1..307, one entry per
// name, a tie goes below the existing entry).
void AddHighScore(tHighScore& list, const std::string& name, unsigned points);
