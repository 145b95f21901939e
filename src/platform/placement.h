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
