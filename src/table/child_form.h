// TChildForm: a player's board window (local, computer or remote) inside the main window.
#pragma once

#include <QMdiSubWindow>
#include <QPoint>
#include <QPointer>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/datagram.h"
#include "core/ip_list.h"
#include "core/random.h"
#include "core/tile_order.h"
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
    // With a QMdiArea as parent the board adds itself to it. The window is
    // deleted when it closes.
    TChildForm(tBoardHost& host, tRandom& random, QWidget* parent = nullptr);
    ~TChildForm() override;

    std::uint16_t Turn = 0;
    std::uint16_t Total = 0;
    std::uint32_t BoardId = 0;
    // nullptr stands for a missing list.
    std::unique_ptr<tIpList> OwnerAddresses;
    bool TakesPart = false;
    bool AwaitingTile = false;

    // Both start shown; the creator hides BtnOk on remote boards, BitBtn on local ones.
    QPushButton* BtnOk = nullptr;
    QGroupBox* Bewertung = nullptr;
    QToolButton* BitBtn = nullptr;

    void StartGame(const TileOrder& order);
    void NextTile();
    void Evaluate();
    void ComputerMove();
    void AnnounceTo(tAddress peer);
    void ApplyColors();
    // A move of the owner PC; moves that do not fit close the board.
    void RemoteMove(int turn, std::uint16_t cellCode, bool confirm);
    bool IsLocal() const;

    // Rating item: 0 points, 1 quality. Any change re-evaluates the board.
    int ItemIndex() const;
    void SetItemIndex(int index);

    // Unique within the running program, never 0, starting at a random value.
    static std::uint32_t NewLocalBoardId();

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
    bool IsComputer() const;
    bool IsRemote() const;
    bool IsLocalHuman() const { return !IsComputer() && !IsRemote(); }
    static bool IsFree(const tHexagon* cell);

    void PlaceTile(tHexagon* tile, tHexagon* cell);
    void ConfirmTile();
    void SendToPeers(tDatagram message);
    tAddress OwnerAddressFor(tAddress peer) const;
    void LeaveGame();
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
    tRandom& FRandom;
    QWidget* FClient = nullptr;
    std::vector<QWidget*> FComponents;
    std::array<tPkteLabel*, kLineCount> FLabels{};  // in the order of kLines
    std::array<tHexagon*, kCellCount> FCells{};     // in the order of kCellCodes
    std::array<tHexagon*, kTileCount + 1> FStock{}; // index = place 1..27
    QRadioButton* FPunkte = nullptr;
    QRadioButton* FQuality = nullptr;
    QButtonGroup* FRating = nullptr;

    bool FFirstPaint = true;
    bool FLeft = false; // LeaveGame ran
    // Moves of the owner's next turn that came before this PC offered it.
    struct tEarlyMove {
        int turn;
        std::uint16_t cellCode;
        bool confirm;
    };
    std::vector<tEarlyMove> FEarly;
    QPointer<tHexagon> FDragTile;
    QPoint FDragOrigin;
    QPoint FDragCursor;
    QPointer<tHexagon> FRightPressed;
    int FMarker = 0;
};
