// High-score insertion rule.
#include "core/high_score.h"

#include "core/tiles.h"

std::string HighScoreName(const std::string& caption) {
    std::string name = caption;
    if (name.rfind("\\\\", 0) == 0)
        name.erase(0, 2);
    const auto slash = name.find('\\');
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    return name;
}

void AddHighScore(tHighScore& list, const std::string& caption, unsigned points) {
    const std::string name = HighScoreName(caption);
    if (points == 0 || points > static_cast<unsigned>(kMaxTotal))
        return;
    const auto p = static_cast<std::uint16_t>(points);
    int i = -1;
    for (int slot = 4; slot >= 0; --slot) {
        if (list[static_cast<std::size_t>(slot)].Name == name) {
            i = slot;
            break;
        }
    }
    if (i < 0) {
        if (p <= list[4].Points)
            return;
        i = 4;
    } else if (p <= list[static_cast<std::size_t>(i)].Points) {
        return;
    }
    while (i > 0 && list[static_cast<std::size_t>(i - 1)].Points < p) {
        list[static_cast<std::size_t>(i)] = list[static_cast<std::size_t>(i - 1)];
        --i;
    }
    list[static_cast<std::size_t>(i)] = {name, p};
}
