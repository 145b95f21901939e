// Loading and saving the high-score list in section "HighScore" of the settings file.
#pragma once

#include "core/high_score.h"

// Offers the five stored slots to an empty list in slot order, so the
// insertion rule drops impossible scores and merges repeated names.
tHighScore LoadHighScores();
// Writes all five slots, empty ones as "" and 0; throws tWriteError.
void WriteHighScores(const tHighScore& list);
