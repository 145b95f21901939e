// The rating box's items inside its frame.
#include "table/rating_box.h"

#include <QGroupBox>
#include <QRadioButton>

void PlaceRatingItems(QGroupBox* box, QRadioButton* points, QRadioButton* quality) {
    // The design's rows at 16 and 35 assumed a lower caption; with the desktop
    // font the frame starts further down and would cut the first circle.
    box->ensurePolished();
    const QRect inner = box->contentsRect();
    const int row = inner.height() / 2;
    points->setGeometry(8, inner.top(), 85, row);
    quality->setGeometry(8, inner.top() + row, 85, row);
}
