// Colour values to QColors: plain RGB directly, system colours from the palette.
#include "game/qt_colors.h"

#include <QGuiApplication>

QPalette::ColorRole SystemColorRole(int index) {
    // Indexes are those of the desktop colour scheme the values were stored
    // with; each gets the palette role that plays the same part. Unknown
    // indexes fall back to the button face, a neutral surface colour.
    switch (index) {
    case 1:  // desktop
    case 4:  // menu
    case 30: // menu bar
        return QPalette::Window;
    case 2:  // active caption
    case 13: // selection
    case 27: // active caption gradient
    case 29: // menu selection
        return QPalette::Highlight;
    case 3:  // inactive caption
    case 12: // application workspace
    case 28: // inactive caption gradient
        return QPalette::Mid;
    case 5: // window
        return QPalette::Base;
    case 6: // window frame
    case 7: // menu text
    case 8: // window text
        return QPalette::WindowText;
    case 9:  // caption text
    case 14: // selected text
        return QPalette::HighlightedText;
    case 16: // button shadow
        return QPalette::Dark;
    case 17: // grey text
        return QPalette::PlaceholderText;
    case 18: // button text
    case 19: // inactive caption text
        return QPalette::ButtonText;
    case 20: // button highlight
        return QPalette::Light;
    case 21: // dark 3-D shadow
        return QPalette::Shadow;
    case 22: // 3-D light
        return QPalette::Midlight;
    case 23: // tooltip text
        return QPalette::ToolTipText;
    case 24: // tooltip background
        return QPalette::ToolTipBase;
    case 26: // hot-tracked item
        return QPalette::Link;
    default: // 0 scroll bar, 10/11 borders, 15 button face, others
        return QPalette::Button;
    }
}

QColor ToQColor(tColor value, const QPalette& palette) {
    if (IsSystemColor(value))
        return palette.color(QPalette::Active, SystemColorRole(SystemColorIndex(value)));
    return QColor(RedOf(value), GreenOf(value), BlueOf(value));
}

QColor ToQColor(tColor value) {
    return ToQColor(value, QGuiApplication::palette());
}
