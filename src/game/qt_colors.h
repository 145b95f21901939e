// Turning 32-bit colour values (00BBGGRR plain, 800000nn system) into QColors.
#pragma once

#include <QColor>
#include <QPalette>

#include "core/colors.h"

// Palette role that stands for system colour index nn.
QPalette::ColorRole SystemColorRole(int index);

// Plain colours map directly; system colours are looked up in the given palette.
QColor ToQColor(tColor value, const QPalette& palette);
// As above, with the application palette at the time of the call.
QColor ToQColor(tColor value);
