// tDemoBoard: the main window's demonstration board shown while no game runs.
#pragma once

#include <QPointer>
#include <QSize>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

#include "core/random.h"
#include "core/tile_order.h"
#include "core/tiles.h"
#include "game/board_layout.h"

class QButtonGroup;
class QGroupBox;
class QRadioButton;
class QTimer;
class tHexagon;
class tPkteLabel;

class tDemoBoard : public QWidget {
    Q_OBJECT

public:
    // The random generator draws the board and the wandering highlight.
    explicit tDemoBoard(tRandom& random, QWidget* parent = nullptr);

    // The twin new-player buttons that blink while the board shows; either
    // may be nullptr.
    void SetButtons(QWidget* btnNeu, QWidget* btnNeuAtn);
    // Asked by ShowDemo(true): while it returns true (a board takes part, a
    // messages window is open) the board stays hidden.
    void SetBlocked(std::function<bool()> blocked) { FBlocked = std::move(blocked); }

    // Shows a fresh demonstration with the coming game's tile order, or hides it.
    void ShowDemo(bool show, const TileOrder& order);
    // The 1000 ms tick: swaps the twin buttons and moves the highlight in turns.
    void TimerTimer();
    // Scores the board in points (item 0) or quality (item 1); also BewertungClick.
    std::uint16_t ScoreDemo();
    // Lays the board out for the panel's size; also runs on every resize.
    void ArrangePanel();
    // The panel's part of applying a new colour set.
    void ApplyColors();

    bool Shown() const { return FShown; }
    std::uint16_t DemoBoard() const { return FDemoBoard; }
    bool BlinkPhase() const { return FBlinkPhase; }
    std::uint16_t Total() const { return FTotal; }
    QTimer* Timer() const { return FTimer; }
    QGroupBox* Bewertung() const { return FBewertung; }
    int ItemIndex() const;
    void SetItemIndex(int index);

    tHexagon* Cell(int cellCode) const; // nullptr for no cell code
    tHexagon* Stock(int place) const;   // places 11..27, else nullptr
    tPkteLabel* Label(int line) const;  // index into kLines, else nullptr

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // A random pair index of the shown entry, stepped on past the marked ones.
    int PickUnmarked(const std::array<bool, kCellCount>& marked);
    tHexagon* CellOfPair(int pair) const;

    tRandom& FRandom;
    std::function<bool()> FBlocked;
    QPointer<QWidget> FBtnNeu;
    QPointer<QWidget> FBtnNeuAtn;
    QTimer* FTimer = nullptr;
    std::array<tHexagon*, kCellCount> FCells{};     // in the order of kCellCodes
    std::array<tHexagon*, kTileCount + 1> FStock{}; // index = place 11..27
    std::array<tPkteLabel*, kLineCount> FLabels{};  // in the order of kLines
    QGroupBox* FBewertung = nullptr;
    QRadioButton* FPunkte = nullptr;
    QRadioButton* FQuality = nullptr;
    QButtonGroup* FRating = nullptr;

    bool FShown = false;
    bool FBlinkPhase = false;
    std::uint16_t FDemoBoard = 1;
    std::uint16_t FTotal = 0;
};
