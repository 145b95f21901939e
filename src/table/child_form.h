// TChildForm: a player's board window (local, computer or remote) inside the main window.
#pragma once

#include <QMdiSubWindow>
#include <QPoint>
#include <QPointer>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/game_table.h"
#include "core/tiles.h"

class QButtonGroup;
class QGroupBox;
class QMouseEvent;
class QPushButton;
class QRadioButton;
class QToolButton;
class tBoardHost;
class tHexagon;
class tPkteLabel;
enum class tMarkerStep;

class TChildForm : public QMdiSubWindow {
    Q_OBJECT

public:
    // The window of the table's board `key`. With a QMdiArea as parent the
    // board adds itself to it. The window is deleted when it closes.
    TChildForm(tBoardHost& host, int key, QWidget* parent = nullptr);
    ~TChildForm() override;

    int Key() const { return FKey; }
    // The window is closing; the table has let its board go.
    bool Closing() const { return FClosing; }
    // The board as the table holds it; after it left the table, as it was last shown.
    const tTableBoard& Data() const;

    // Both start shown; the creator hides BtnOk on remote boards, BitBtn on local ones.
    QPushButton* BtnOk = nullptr;
    QGroupBox* Bewertung = nullptr;
    QToolButton* BitBtn = nullptr;

    // Shows the board's state as the table holds it now.
    void Refresh();
    // The table let the board go: the window closes without asking the table again.
    void CloseByTable();
    void ComputerMove();
    void ApplyColors();
    // A move of the owner PC, as the network would hand it over.
    void RemoteMove(int turn, std::uint16_t cellCode, bool confirm);

    // Rating item: 0 points, 1 quality. Any change re-evaluates the board.
    int ItemIndex() const;
    void SetItemIndex(int index);

    // The 64 components in their fixed order (labels, cells, stock, buttons).
    const std::vector<QWidget*>& Components() const { return FComponents; }
    tHexagon* Cell(int cellCode) const; // nullptr for no cell code
    tHexagon* Stock(int place) const;   // nullptr outside 1..27
    QWidget* Client() const { return FClient; }
    // Cell code under the keyboard marker; 0 when the board shows none.
    int MarkerCell() const { return FMarker; }

    QSize sizeHint() const override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsFree(int cellCode) const;
    tGameTable& Table();

    void ShowTiles();
    void ShowTotal();
    void PlaceTile(std::uint16_t cellCode);
    void ConfirmTile();
    void SavePlacement();
    void Arrange();
    void FirstShow();
    void BringToFront();
    void ReportChildWriteError(const class tWriteError& error);

    void Drop(tHexagon* cell);
    void MouseDownHex(tHexagon* sender, QMouseEvent* event);
    void MouseMoveStein(tHexagon* sender, QMouseEvent* event);
    void MouseUpStein(tHexagon* sender, QMouseEvent* event);
    void MouseUpSonst(QObject* sender, QMouseEvent* event);
    void BitBtnClick();

    // Keyboard play on a local human board: arrows move the marker, Space
    // lays the current tile on the marked cell as a click would.
    bool BoardKey(QKeyEvent* event);
    void MoveMarker(tMarkerStep step);
    // Keeps the marker on a free cell or on the current tile just laid.
    void UpdateMarker();

    tBoardHost& FHost;
    const int FKey;
    tTableBoard FShown; // the state last shown
    QWidget* FClient = nullptr;
    std::vector<QWidget*> FComponents;
    std::array<tPkteLabel*, kLineCount> FLabels{};  // in the order of kLines
    std::array<tHexagon*, kCellCount> FCells{};     // in the order of kCellCodes
    std::array<tHexagon*, kTileCount + 1> FStock{}; // index = place 1..27
    QRadioButton* FPunkte = nullptr;
    QRadioButton* FQuality = nullptr;
    QButtonGroup* FRating = nullptr;

    bool FFirstPaint = true;
    bool FClosing = false; // the table has let the board go
    QPointer<tHexagon> FDragTile;
    QPoint FDragOrigin;
    QPoint FDragCursor;
    QPointer<tHexagon> FRightPressed;
    int FMarker = 0;
};
