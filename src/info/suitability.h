// The suitability message of the Info menu.
#pragma once

class QString;

// The age the game suits, in the program's language.
QString SuitabilityText();
// Shows it with an Ok button and no icon, titled with the caller's caption
// (the main window's); returns the pressed button's id.
int ShowSuitability(const QString& caption);
