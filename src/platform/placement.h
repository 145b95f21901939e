// Saving and restoring window placements in the settings file.
#pragma once

#include <string>

class QWidget;

// A window is resizable unless it has a fixed size; only resizable windows
// store WindowState, Height and Width.
bool SavePlacement(QWidget* form, const std::string& section);
bool RestorePlacement(QWidget* form, const std::string& section);
// Clamps to the screen (at least 100 pixels stay visible) and applies.
void ApplyPlacement(QWidget* form, int left, int top, int width, int height, int state);

bool IsResizable(const QWidget* form);
// 0 normal, 1 minimised, 2 maximised.
int WindowStateOf(const QWidget* form);
// Values other than 0, 1 and 2 are ignored.
void SetWindowStateOf(QWidget* form, int state);

// A board window's placement in the main window's client area.
struct tChildPlacement {
    int Top = 0;
    int Left = 0;
    int Height = 0;
    int Width = 0;
};
// Fits a saved board window placement into a client area of clientHeight x
// clientWidth: the height keeps 4 pixels free, the width fits, and a window
// that would reach past the bottom or the right edge starts again at 0 there.
tChildPlacement FitChildPlacement(const tChildPlacement& saved, int clientHeight, int clientWidth);
