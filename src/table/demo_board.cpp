// The demonstration board: a part-filled optimal board, its scores, the blinking button and
// highlight.
#include "table/demo_board.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>
#include <QResizeEvent>
#include <QTimer>
#include <algorithm>

#include "core/colors.h"
#include "core/optimal_boards.h"
#include "core/scoring.h"
#include "game/hexagon.h"
#include "game/pkte_label.h"
#include "game/qt_colors.h"
#include "platform/language.h"
#include "table/rating_box.h"

namespace {

constexpr int kDesignWidth = 576;
constexpr int kDesignHeight = 337;
constexpr int kFirstStockPlace = 11;
constexpr int kFaceUpTiles = 10;
// The demonstration board stands this much left of a board window's layout.
constexpr int kDesignShift = 8;

} // namespace

tDemoBoard::tDemoBoard(tRandom& random, QWidget* parent) : QWidget(parent), FRandom(random) {
    setObjectName(QStringLiteral("Panel"));
    setAutoFillBackground(true);
    resize(kDesignWidth, kDesignHeight);

    for (std::size_t i = 0; i < kCellCodes.size(); ++i) {
        const std::uint16_t code = kCellCodes[i];
        auto* cell = new tHexagon(this);
        cell->setObjectName(QStringLiteral("Hexagon") + QString::number(code));
        const tPoint p = CellDesignPosition(code);
        cell->setGeometry(p.x - kDesignShift, p.y, 49, 49);
        FCells[i] = cell;
    }
    for (int place = kFirstStockPlace; place <= kTileCount; ++place) {
        auto* tile = new tHexagon(this);
        tile->setObjectName(QStringLiteral("Hexagon") + QString::number(place));
        const tPoint p = StockDesignPosition(place);
        tile->setGeometry(p.x - kDesignShift, p.y, 49, 49);
        tile->SetStyle(hxHidden);
        FStock[static_cast<std::size_t>(place)] = tile;
    }
    for (std::size_t i = 0; i < kLines.size(); ++i) {
        auto* label = new tPkteLabel(this);
        label->setObjectName(QString::fromLatin1(kLines[i].name));
        label->SetLineAlignment(kLines[i].direction);
        FLabels[i] = label;
    }

    FBewertung = new QGroupBox(QStringLiteral("0"), this);
    FBewertung->setObjectName(QStringLiteral("Bewertung"));
    // At the top edge, clear of the score above the fifth column (Hoch5).
    FBewertung->setGeometry(kDesignWidth - 97 - 15, 0, 97, 57);
    FPunkte = new QRadioButton(Tr("&Punkte", "&points"), FBewertung);
    FPunkte->setObjectName(QStringLiteral("Punkte"));
    FQuality = new QRadioButton(Tr("&Bewertung", "&quality"), FBewertung);
    FQuality->setObjectName(QStringLiteral("Quality"));
    PlaceRatingItems(FBewertung, FPunkte, FQuality);
    FRating = new QButtonGroup(this);
    FRating->addButton(FPunkte, 0);
    FRating->addButton(FQuality, 1);
    FQuality->setChecked(true);
    connect(FRating, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            ScoreDemo();
    });

    FTimer = new QTimer(this);
    FTimer->setObjectName(QStringLiteral("Timer"));
    FTimer->setInterval(1000);
    connect(FTimer, &QTimer::timeout, this, &tDemoBoard::TimerTimer);
    hide();
}

void tDemoBoard::SetButtons(QWidget* btnNeu, QWidget* btnNeuAtn) {
    FBtnNeu = btnNeu;
    FBtnNeuAtn = btnNeuAtn;
}

int tDemoBoard::ItemIndex() const {
    return FQuality->isChecked() ? 1 : 0;
}

void tDemoBoard::SetItemIndex(int index) {
    if (index == 0 || index == 1)
        (index == 1 ? FQuality : FPunkte)->setChecked(true);
}

tHexagon* tDemoBoard::Cell(int cellCode) const {
    const int index = CellIndex(cellCode);
    return index < 0 ? nullptr : FCells[static_cast<std::size_t>(index)];
}

tHexagon* tDemoBoard::Stock(int place) const {
    if (place < kFirstStockPlace || place > kTileCount)
        return nullptr;
    return FStock[static_cast<std::size_t>(place)];
}

tPkteLabel* tDemoBoard::Label(int line) const {
    if (line < 0 || line >= kLineCount)
        return nullptr;
    return FLabels[static_cast<std::size_t>(line)];
}

tHexagon* tDemoBoard::CellOfPair(int pair) const {
    return Cell(OptimalBoard(FDemoBoard)[static_cast<std::size_t>(pair)].Cell);
}

int tDemoBoard::PickUnmarked(const std::array<bool, kCellCount>& marked) {
    int k = FRandom.Below(kCellCount);
    while (marked[static_cast<std::size_t>(k)])
        k = (k + 1) % kCellCount;
    return k;
}

void tDemoBoard::ShowDemo(bool show, const TileOrder& order) {
    if (show && FBlocked && FBlocked())
        show = false;
    if (show) {
        ArrangePanel();
        QPalette pal = palette();
        pal.setColor(QPalette::Window, ToQColor(SharedColors().BackgroundColor));
        setPalette(pal);
        for (int place = kFirstStockPlace; place <= kTileCount; ++place) {
            const std::uint16_t n = order.Tile(place);
            // A damaged order keeps the tile's old number rather than showing a wrong one.
            Stock(place)->Init(static_cast<thxNummer>(n < kTileCount ? n : 0), hxHidden);
        }
        FDemoBoard = static_cast<std::uint16_t>(FRandom.Below(kOptimalBoardCount) + 1);
        const tOptimalBoard& board = OptimalBoard(FDemoBoard);
        std::array<bool, kCellCount> marked{};
        for (int n = 0; n < kFaceUpTiles; ++n) {
            const int k = PickUnmarked(marked);
            marked[static_cast<std::size_t>(k)] = true;
            const tOptimalPair& pair = board[static_cast<std::size_t>(k)];
            Cell(pair.Cell)->Init(static_cast<thxNummer>(pair.Tile), hxVisible);
        }
        // All empty cells carry the tile in hand, so whichever is highlighted
        // shows and scores that tile.
        const int m = PickUnmarked(marked);
        const auto inHand = static_cast<thxNummer>(board[static_cast<std::size_t>(m)].Tile);
        for (int j = 0; j < kCellCount; ++j)
            if (!marked[static_cast<std::size_t>(j)])
                CellOfPair(j)->Init(inHand, hxEmpty);
        CellOfPair(PickUnmarked(marked))->SetStyle(hxHighlight);
        ScoreDemo();
    }
    FShown = show;
    if (show)
        FTimer->start();
    else
        FTimer->stop();
    setVisible(show);
    // The panel lies under any board window that shares its parent.
    if (show)
        lower();
    if (FBtnNeu)
        FBtnNeu->setVisible(!show);
    if (FBtnNeuAtn)
        FBtnNeuAtn->setVisible(show);
}

void tDemoBoard::TimerTimer() {
    // A tick that was already queued when the board was hidden must not
    // bring the blinking twin back during a game.
    if (!FShown)
        return;
    const bool was = FBlinkPhase;
    FBlinkPhase = !was;
    if (was) {
        if (FBtnNeu && FBtnNeuAtn) {
            const bool neuShown = !FBtnNeu->isHidden();
            FBtnNeu->setVisible(!neuShown);
            FBtnNeuAtn->setVisible(neuShown);
        }
        return;
    }
    const int r = FRandom.Below(kCellCount);
    tHexagon* candidate = nullptr;
    for (int i = 1; i <= kCellCount; ++i) {
        tHexagon* cell = CellOfPair((i + r) % kCellCount);
        if (cell->Style() == hxHighlight)
            cell->SetStyle(hxEmpty);
        else if (cell->Style() == hxEmpty)
            candidate = cell;
    }
    if (candidate)
        candidate->SetStyle(hxHighlight);
    ScoreDemo();
}

std::uint16_t tDemoBoard::ScoreDemo() {
    const std::uint8_t mode = ItemIndex() == 0 ? kModeDemoPoints : kModeDemoQuality;
    std::uint16_t total = 0;
    for (std::size_t i = 0; i < kLines.size(); ++i) {
        const tLine& line = kLines[i];
        tHexagon* e[5] = {nullptr, nullptr, nullptr, nullptr, nullptr};
        for (int j = 0; j < line.length; ++j)
            e[j] = Cell(line.cells[static_cast<std::size_t>(j)]);
        total = static_cast<std::uint16_t>(
            total + FLabels[i]->Calculate(e[0], e[1], e[2], e[3], e[4], line.direction, mode));
    }
    FTotal = total;
    FBewertung->setTitle(QString::number(total));
    return total;
}

void tDemoBoard::ArrangePanel() {
    const QSize area = FitBoardArea(width(), height());
    for (tHexagon* cell : FCells)
        cell->HexResize(area.height(), area.width());
    for (int place = kFirstStockPlace; place <= kTileCount; ++place)
        Stock(place)->HexResize(area.height(), area.width());
    for (const tLabelPlace& place : kLabelPlaces) {
        tPkteLabel* label = FLabels[static_cast<std::size_t>(LineIndexOf(place.name))];
        // A panel much taller than the board would put the top labels above
        // its edge; keep every score readable inside the panel.
        const QPoint at = LabelPosition(place, area, label->size());
        label->move(std::clamp(at.x(), 0, std::max(0, width() - label->width())),
                    std::clamp(at.y(), 0, std::max(0, height() - label->height())));
    }
    FBewertung->move(area.width() - FBewertung->width() - 15, FBewertung->y());
}

void tDemoBoard::ApplyColors() {
    const tColorSet& colors = SharedColors();
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToQColor(colors.BackgroundColor));
    setPalette(pal);
    for (tPkteLabel* label : FLabels)
        label->NewColors();
    for (tHexagon* cell : FCells)
        cell->NewColors(colors);
    for (int place = kFirstStockPlace; place <= kTileCount; ++place)
        Stock(place)->NewColors(colors);
    update();
}

void tDemoBoard::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ArrangePanel();
}
