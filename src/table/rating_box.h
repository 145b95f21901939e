// The rating box Bewertung of a board: where its two items stand.
#pragma once

class QGroupBox;
class QRadioButton;

// Lays the points and the quality item one below the other inside the frame
// that the style draws below the box's caption (the total).
void PlaceRatingItems(QGroupBox* box, QRadioButton* points, QRadioButton* quality);
