// The board area and the line labels' places, shared by the board windows and the demonstration.
#include "game/board_layout.h"

#include <algorithm>
#include <string_view>

QSize FitBoardArea(int clientWidth, int clientHeight) {
    const int pw = std::max(0, clientWidth);
    const int ph = std::max(0, clientHeight);
    int w = ph * 540 / 280;
    int h = ph;
    if (pw < w) {
        w = pw;
        h = pw * 280 / 540;
    }
    return {w, h};
}

const std::array<tLabelPlace, kLineCount> kLabelPlaces = {{
    {"Hoch1", 49, 24, true, false},
    {"Hoch2", 57, 14, true, false},
    {"Hoch3", 65, 5, true, false},
    {"Hoch4", 73, 14, true, false},
    {"Hoch5", 81, 24, true, false},
    {"Ab1", 85, 36, false, false},
    {"Ab2", 85, 55, false, false},
    {"Ab3", 85, 74, false, false},
    {"Ab4", 77, 83, false, false},
    {"Ab5", 69, 93, false, false},
    {"Auf1", 47, 36, false, true},
    {"Auf2", 47, 55, false, true},
    {"Auf3", 47, 74, false, true},
    {"Auf4", 55, 83, false, true},
    {"Auf5", 63, 93, false, true},
}};

QPoint LabelPosition(const tLabelPlace& place, QSize area, QSize label) {
    int left = area.width() * place.left / 100;
    int top = area.height() * place.top / 100;
    if (place.upward)
        top -= label.height();
    if (place.leftward)
        left -= label.width();
    return {left, top};
}

int LineIndexOf(const char* name) {
    for (int i = 0; i < kLineCount; ++i)
        if (std::string_view(kLines[static_cast<std::size_t>(i)].name) == name)
            return i;
    return -1;
}
