// tBar: the small colour bar of the colours window, flat, raised, sunken or marked.
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

#include "core/colors.h"

class QMouseEvent;
class QPaintEvent;

// The colour a bar shows, chosen by its name without the leading "Bar": "1".."9"
// a line colour, "Background1"/"Background2" the background, "Shadow" the
// shadow, "Light1"/"Light2" the light colour. Any other name shows the
// background.
tColor BarColor(const QString& objectName, const tColorSet& colors);
// Numbered bars (line colours) go without a black frame when flat.
bool IsNumberedBar(const QString& objectName);

class tBar : public QWidget {
    Q_OBJECT

public:
    enum tBevel : std::uint8_t { bvFlat = 0, bvRaised = 1, bvSunken = 2 };

    explicit tBar(QWidget* parent = nullptr);

    // Raised, unless it is not flat; always clears the mark.
    void HiLight();
    // Flat again, unless it is marked or already flat.
    void UnLight();
    void Down();
    // Flat, then raised; returns whether it had been pressed (sunken).
    bool Up();
    // Spares the bar from the next UnLight of all bars.
    void Mark() { FMarked = true; }

    // Copies the colours; the caller repaints.
    void NewColors(const std::array<tColor, 10>& lineColors, tColor background, tColor light,
                   tColor shadow);
    void NewColors(const tColorSet& colors);

    tBevel Bevel() const { return FBevel; }
    bool Marked() const { return FMarked; }
    const tColorSet& Colors() const { return FColors; }

signals:
    void mousePressed(tBar* sender, QMouseEvent* event);
    void mouseReleased(tBar* sender, QMouseEvent* event);
    void mouseMoved(tBar* sender, QMouseEvent* event);
    // The mouse left the bar (without a button held on it).
    void mouseLeft(tBar* sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void SetBevel(tBevel bevel);

    tBevel FBevel = bvFlat;
    bool FMarked = false;
    tColorSet FColors;
};
