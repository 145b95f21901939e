// tPkteLabel: the label that scores one line of a board and shows the score.
#pragma once

#include <QLabel>
#include <cstdint>

#include "core/colors.h"

class tHexagon;

class tPkteLabel : public QLabel {
    Q_OBJECT

public:
    explicit tPkteLabel(QWidget* parent = nullptr);

    // 0 no tile counted, 1..9 the common value, -1 broken.
    std::int32_t LineValue = 0;

    // Scores the line e1..e5 (e4, e5 nullptr for shorter lines) in the given
    // direction and mode and shows the score. Modes 3 and 4 count the
    // elements themselves, the others the tiles lying on them.
    std::uint16_t Calculate(tHexagon* e1, tHexagon* e2, tHexagon* e3, tHexagon* e4, tHexagon* e5,
                            std::uint8_t direction, std::uint8_t mode);

    // Takes the shared colour set again and recolours from LineValue.
    void NewColors();
    const tColorSet& Colors() const { return FColors; }

    // Alignment of the labels of a direction: vertical lines centred, rising
    // lines right-aligned, falling lines left-aligned. When its caption
    // changes size a right-aligned label keeps its right edge, the others
    // their left edge.
    void SetLineAlignment(std::uint8_t direction);

    // What a screen reader says: the line, its score and the rating
    // ("Hoch3: 27 points"), and the line's direction and state.
    QString AccessibleName() const;
    QString AccessibleDescription() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void SetCaption(std::uint16_t score);
    void ApplyItalic(bool italic);
    void ApplyColors();
    void FitToCaption();

    tColorSet FColors;
    bool FItalic = true;
    tColor FFontColor = kSysWindowText;
    tColor FBackColor = kSysButtonFace;
    std::uint16_t FShown = 0;
    std::uint8_t FDirection = 0;
    std::uint8_t FMode = 0;
    bool FComplete = false;
};
