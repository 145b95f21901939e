// Where the parts of a board stand: the board area of a client area and the places of the line
// labels.
#pragma once

#include <QPoint>
#include <QSize>
#include <array>

#include "core/tiles.h"

// The largest board area of aspect 540 : 280 (width : height) that fits a
// client area of the given size, in integer arithmetic.
QSize FitBoardArea(int clientWidth, int clientHeight);

// Where a line label stands for a board area: left and top in percent of the
// area's width and height, taken from the top by the label's height
// (upward) and from the left by its width (leftward).
struct tLabelPlace {
    const char* name;
    int left;
    int top;
    bool upward;
    bool leftward;
};
extern const std::array<tLabelPlace, kLineCount> kLabelPlaces;
QPoint LabelPosition(const tLabelPlace& place, QSize area, QSize label);

// Index of a line label's name in kLines, -1 for none.
int LineIndexOf(const char* name);
