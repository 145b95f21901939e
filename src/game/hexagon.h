// tHexagon: the painted control that is a board cell or a tile, and its geometry rules.
#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

#include "core/colors.h"
#include "core/tiles.h"

class QMouseEvent;
class QPaintEvent;
class QPainter;

// Corners of the hexagon body of a W x H control, starting at the right corner
// and running clockwise on screen (down first).
std::array<QPoint, 6> HexagonCorners(int width, int height);

// Point size of the stripe numbers of a control of the given height.
int HexagonFontPointSize(int height);

// Quadrilateral, the two long edges and the number anchor of the stripe of
// direction 0, 1 or 2 of a W x H control.
struct tStripeGeometry {
    std::array<QPoint, 4> corners;
    std::array<QPoint, 2> edge1; // first long edge, from -> to
    std::array<QPoint, 2> edge2;
    QPoint anchor; // centre of the written value
};
tStripeGeometry StripeGeometry(int direction, int width, int height);

// Top-left corner (x = left, y = top) of stock place `number` (1..27) and of
// the cell with code `number` (HAB) for a board area of the given size.
QPoint StackPosition(int boardHeight, int boardWidth, int number);
QPoint BoardPosition(int boardHeight, int boardWidth, int number);

// The number carried by a component name: the decimal digits after the
// "Hexagon" prefix; 0 when the name has no such digits.
int HexagonNameNumber(const QString& name);

// A step of the keyboard marker over the board cells.
enum class tMarkerStep { Left, Right, Up, Down };

// Cell reached from `cellCode` by one step of the keyboard marker. Up and Down
// go to the next free cell of the same column. Left and Right go to the
// nearest column on that side that has a free cell, and there to the free
// cell nearest to the marker's row (rows zigzag: from an odd column one half
// cell down, from an even one half a cell up), so every free cell can be
// reached. `cellCode` itself when no free cell lies in that direction.
int MarkerStep(int cellCode, tMarkerStep step, const std::function<bool(int)>& isFree);

// The free cell nearest to `cellCode`, itself when it is free; among equally
// near cells the upper one, then the left one. 0 when no cell is free.
int NearestFreeCell(int cellCode, const std::function<bool(int)>& isFree);

class tHexagon : public QWidget {
    Q_OBJECT

public:
    explicit tHexagon(QWidget* parent = nullptr);

    thxStyle Style() const { return FStyle; }
    // Values outside hxEmpty..hxHighlight are refused (the old style stays).
    void SetStyle(thxStyle style);
    thxNummer Nummer() const { return FNummer; }
    // Tile numbers above 26 are refused (the old number stays).
    void SetNummer(thxNummer nummer);
    void Init(thxNummer nummer, thxStyle style);

    // Stripe value of the held tile number in the given direction, whatever the style.
    std::uint16_t GetLine(std::uint8_t direction) const;

    // Plain link to the partner control (a tile and the cell it lies on); not
    // owning. A partner that is destroyed reads as no occupation.
    void Occupy(tHexagon* partner) { FOccupation = partner; }
    void FreeOccupation() { FOccupation = nullptr; }
    tHexagon* GetOccupation() const { return FOccupation.data(); }

    // Sets top, then left, then brings the control in front of its siblings.
    void LayAt(int top, int left);
    // Sizes and places the control for a board area of the given size.
    void HexResize(int boardHeight, int boardWidth);

    // Copies the colours; the caller repaints.
    void NewColors(const std::array<tColor, 10>& lineColors, tColor background, tColor light,
                   tColor shadow);
    void NewColors(const tColorSet& colors);
    const tColorSet& Colors() const { return FColors; }

    // The keyboard marker: a thick black and white ring inside the body,
    // drawn over everything else.
    bool Marked() const { return FMarked; }
    void SetMarked(bool marked);

    // Number after "Hexagon" in the object name: stock place or cell code.
    int ComponentNumber() const { return HexagonNameNumber(objectName()); }

    QSize sizeHint() const override { return {49, 49}; }

signals:
    // Left button pressed and released on this control.
    void clicked(tHexagon* sender);
    void mousePressed(tHexagon* sender, QMouseEvent* event);
    void mouseMoved(tHexagon* sender, QMouseEvent* event);
    void mouseReleased(tHexagon* sender, QMouseEvent* event);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Draw(QPainter& p) const;
    void DrawStripes(QPainter& p) const;
    void DrawMarker(QPainter& p) const;
    QString PictureKey(qreal ratio) const;

    thxStyle FStyle = hxEmpty;
    thxNummer FNummer = 0;
    QPointer<tHexagon> FOccupation;
    tColorSet FColors;
    bool FLeftPressed = false;
    bool FMarked = false;
};
