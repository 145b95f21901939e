// The player board window: laying, confirming, rating, the computer's move and remote moves.
#include "table/child_form.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <utility>

#include "core/colors.h"
#include "core/scoring.h"
#include "frame/board_host.h"
#include "game/board_layout.h"
#include "game/hexagon.h"
#include "game/pkte_label.h"
#include "game/qt_colors.h"
#include "platform/language.h"
#include "platform/placement.h"
#include "platform/settings_file.h"
#include "table/rating_box.h"

namespace {

constexpr int kDesignClientWidth = 573;
constexpr int kDesignClientHeight = 333;
constexpr int kMinOuterWidth = 580;
constexpr int kMinOuterHeight = 330;
const char* const kChildSection = "Child";

// The client area only needs to report the design size, so that the
// sub-window's own size hint (and cascading) follows from it.
class tBoardClient : public QWidget {
public:
    explicit tBoardClient(QWidget* parent = nullptr) : QWidget(parent) {}
    QSize sizeHint() const override { return {kDesignClientWidth, kDesignClientHeight}; }
    QSize minimumSizeHint() const override { return {0, 0}; }
};

} // namespace

TChildForm::TChildForm(tBoardHost& host, int key, QWidget* parent)
    : QMdiSubWindow(parent), FHost(host), FKey(key) {
    if (const tTableBoard* board = host.Table().Board(key))
        FShown = *board;
    setAttribute(Qt::WA_DeleteOnClose);
    FClient = new tBoardClient;
    FClient->setObjectName(QStringLiteral("ChildClient"));
    FClient->setAutoFillBackground(true);
    FClient->installEventFilter(this);

    for (const char* name : kComponentLabelOrder) {
        auto* label = new tPkteLabel(FClient);
        label->setObjectName(QString::fromLatin1(name));
        const int index = LineIndexOf(name);
        label->SetLineAlignment(kLines[static_cast<std::size_t>(index)].direction);
        label->installEventFilter(this);
        FLabels[static_cast<std::size_t>(index)] = label;
        FComponents.push_back(label);
    }
    for (std::uint16_t code : kComponentCellOrder) {
        auto* cell = new tHexagon(FClient);
        cell->setObjectName(QStringLiteral("Hexagon") + QString::number(code));
        const tPoint p = CellDesignPosition(code);
        cell->setGeometry(p.x, p.y, 49, 49);
        connect(cell, &tHexagon::clicked, this, &TChildForm::Drop);
        connect(cell, &tHexagon::mousePressed, this, &TChildForm::MouseDownHex);
        connect(cell, &tHexagon::mouseReleased, this,
                [this](tHexagon* sender, QMouseEvent* event) { MouseUpSonst(sender, event); });
        FCells[static_cast<std::size_t>(CellIndex(code))] = cell;
        FComponents.push_back(cell);
    }
    for (int place = 1; place <= kTileCount; ++place) {
        auto* tile = new tHexagon(FClient);
        tile->setObjectName(QStringLiteral("Hexagon") + QString::number(place));
        const tPoint p = StockDesignPosition(place);
        tile->setGeometry(p.x, p.y, 49, 49);
        connect(tile, &tHexagon::mousePressed, this, &TChildForm::MouseDownHex);
        connect(tile, &tHexagon::mouseMoved, this, &TChildForm::MouseMoveStein);
        connect(tile, &tHexagon::mouseReleased, this, &TChildForm::MouseUpStein);
        FStock[static_cast<std::size_t>(place)] = tile;
        FComponents.push_back(tile);
    }

    BtnOk = new QPushButton(QStringLiteral("&Ok"), FClient);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnOk->setGeometry(466, 298, 97, 25);
    BtnOk->setEnabled(false);
    connect(BtnOk, &QPushButton::clicked, this, &TChildForm::ConfirmTile);
    FComponents.push_back(BtnOk);

    Bewertung = new QGroupBox(QStringLiteral("0"), FClient);
    Bewertung->setObjectName(QStringLiteral("Bewertung"));
    // At the top edge: lower, its bottom would reach into the score above the
    // fifth column (Hoch5), which stands where the box begins at small sizes.
    Bewertung->setGeometry(466, 0, 97, 57);
    FPunkte = new QRadioButton(Tr("&Punkte", "&points"), Bewertung);
    FPunkte->setObjectName(QStringLiteral("Punkte"));
    FQuality = new QRadioButton(Tr("&Bewertung", "&quality"), Bewertung);
    FQuality->setObjectName(QStringLiteral("Quality"));
    PlaceRatingItems(Bewertung, FPunkte, FQuality);
    FRating = new QButtonGroup(this);
    FRating->addButton(FPunkte, 0);
    FRating->addButton(FQuality, 1);
    FPunkte->setChecked(true);
    // Also a change made by the program re-evaluates (BewertungClick).
    connect(FRating, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (!checked)
            return;
        Table().SetRatingItem(FKey, id);
        ShowTotal();
    });
    FComponents.push_back(Bewertung);

    BitBtn = new QToolButton(FClient);
    BitBtn->setObjectName(QStringLiteral("BitBtn"));
    BitBtn->setGeometry(532, 298, 31, 25);
    // The picture comes from the resources; without it the button stays blank.
    if (QFile::exists(QStringLiteral(":/envelope.svg")))
        BitBtn->setIcon(QIcon(QStringLiteral(":/envelope.svg")));
    BitBtn->setIconSize(QSize(27, 22));
    BitBtn->setToolTip(Tr("Nachricht an den Besitzer", "Message to owner"));
    BitBtn->setFocusPolicy(Qt::StrongFocus);
    connect(BitBtn, &QToolButton::clicked, this, &TChildForm::BitBtnClick);
    FComponents.push_back(BitBtn);

    // The board's keys work wherever the focus is inside the window; Tab
    // still walks Ok, the rating and the message button.
    for (QWidget* w : FClient->findChildren<QWidget*>())
        if (w->focusPolicy() != Qt::NoFocus)
            w->installEventFilter(this);
    // A board made active while the main window waits for a dialog keeps
    // the keyboard focus where it was, in another board, which then takes
    // the keys when the main window comes back: the focus goes along.
    connect(this, &QMdiSubWindow::windowStateChanged, this,
            [this](Qt::WindowStates before, Qt::WindowStates now) {
                if (!(now & Qt::WindowActive) || (before & Qt::WindowActive))
                    return;
                const QWidget* focus = window()->focusWidget();
                if (focus && isAncestorOf(focus))
                    return;
                QWidget* own = focusWidget();
                (own ? own : this)->setFocus();
            });

    setWidget(FClient);
    setMinimumSize(kMinOuterWidth, kMinOuterHeight);
    resize(sizeHint().expandedTo(minimumSize()));
    ApplyColors();

    setWindowTitle(QString::fromStdString(FShown.Caption));
    // Remote boards message their owner, the others confirm.
    (FShown.IsRemote() ? static_cast<QWidget*>(BtnOk) : BitBtn)->hide();
    for (int place = 1; place <= kTileCount; ++place)
        Stock(place)->Init(FShown.TileAt[static_cast<std::size_t>(place)], hxHidden);
    for (tHexagon* cell : FCells)
        cell->Init(1, hxEmpty);
    Refresh();
    Arrange();

    if (auto* area = qobject_cast<QMdiArea*>(parent))
        area->addSubWindow(this);
}

TChildForm::~TChildForm() = default;

QSize TChildForm::sizeHint() const {
    const QMargins m = contentsMargins();
    return QSize(kDesignClientWidth + m.left() + m.right(),
                 kDesignClientHeight + m.top() + m.bottom())
        .expandedTo(QSize(kMinOuterWidth, kMinOuterHeight));
}

tHexagon* TChildForm::Cell(int cellCode) const {
    const int index = CellIndex(cellCode);
    return index < 0 ? nullptr : FCells[static_cast<std::size_t>(index)];
}

tHexagon* TChildForm::Stock(int place) const {
    if (place < 1 || place > kTileCount)
        return nullptr;
    return FStock[static_cast<std::size_t>(place)];
}

tGameTable& TChildForm::Table() {
    return FHost.Table();
}

const tTableBoard& TChildForm::Data() const {
    if (const tTableBoard* board = FHost.Table().Board(FKey))
        return *board;
    return FShown;
}

bool TChildForm::IsFree(int cellCode) const {
    return Data().CellFree(static_cast<std::uint16_t>(cellCode));
}

int TChildForm::ItemIndex() const {
    return FQuality->isChecked() ? 1 : 0;
}

void TChildForm::SetItemIndex(int index) {
    if (index == ItemIndex() || (index != 0 && index != 1))
        return;
    (index == 1 ? FQuality : FPunkte)->setChecked(true);
}

void TChildForm::Refresh() {
    if (const tTableBoard* board = Table().Board(FKey))
        FShown = *board;
    ShowTiles();
    SetItemIndex(FShown.RatingItem);
    ShowTotal();
    BtnOk->setEnabled(FShown.OkEnabled());
    UpdateMarker();
}

void TChildForm::ShowTiles() {
    const tTableBoard& b = FShown;
    const QSize area = FitBoardArea(FClient->width(), FClient->height());
    for (tHexagon* cell : FCells) {
        const tHexagon* on = cell->GetOccupation();
        if (on &&
            b.CellOf[static_cast<std::size_t>(on->ComponentNumber())] != cell->ComponentNumber())
            cell->FreeOccupation();
    }
    bool laid = false;
    for (int place = 1; place <= kTileCount; ++place) {
        tHexagon* tile = Stock(place);
        thxStyle style = place < b.Turn ? hxVisible : hxHidden;
        if (place == b.Turn)
            style = b.Turn <= kTurnsPlayed && b.Phase != tTilePhase::Confirmed ? hxHighlight
                                                                               : hxVisible;
        tHexagon* cell = Cell(b.CellOf[static_cast<std::size_t>(place)]);
        bool moved = false;
        if (tile->GetOccupation() != cell) {
            tile->FreeOccupation();
            if (cell) {
                cell->Occupy(tile);
                tile->Occupy(cell);
                laid = laid || place == b.Turn;
            }
            moved = true;
        }
        if (tile->Style() != style) {
            tile->SetStyle(style);
            moved = true;
        }
        if (moved) {
            tile->HexResize(area.height(), area.width());
            if (cell)
                tile->raise();
        }
    }
    if (laid && !BtnOk->isHidden() && b.OkEnabled()) {
        BtnOk->setEnabled(true);
        BtnOk->setFocus();
    }
}

void TChildForm::ShowTotal() {
    const std::uint8_t mode = RatingMode(ItemIndex(), FShown.Turn);
    for (std::size_t i = 0; i < kLines.size(); ++i) {
        const tLine& line = kLines[i];
        tHexagon* e[5] = {nullptr, nullptr, nullptr, nullptr, nullptr};
        for (int j = 0; j < line.length; ++j)
            e[j] = Cell(line.cells[static_cast<std::size_t>(j)]);
        FLabels[i]->Calculate(e[0], e[1], e[2], e[3], e[4], line.direction, mode);
    }
    const std::uint16_t total = Data().Total;
    Bewertung->setTitle(QString::number(total));
    Bewertung->setAccessibleName(ItemIndex() == 0
                                     ? Tr("Summe: %1 Punkte", "Total: %1 points").arg(total)
                                     : Tr("Summe: Bewertung %1", "Total: quality %1").arg(total));
}

void TChildForm::ComputerMove() {
    FHost.Apply(Table().ComputerMove(FKey));
}

void TChildForm::PlaceTile(std::uint16_t cellCode) {
    FHost.Apply(Table().PlaceTile(FKey, cellCode));
}

void TChildForm::ConfirmTile() {
    FHost.Apply(Table().ConfirmTile(FKey));
}

void TChildForm::RemoteMove(int turn, std::uint16_t cellCode, bool confirm) {
    FHost.Apply(Table().RemoteMove(FKey, turn, cellCode, confirm));
}

void TChildForm::CloseByTable() {
    if (FClosing)
        return;
    FClosing = true;
    close();
}

void TChildForm::ApplyColors() {
    QPalette pal = FClient->palette();
    pal.setColor(QPalette::Window, ToQColor(SharedColors().BackgroundColor));
    FClient->setPalette(pal);
    for (QWidget* w : FComponents) {
        if (auto* hex = qobject_cast<tHexagon*>(w))
            hex->NewColors(SharedColors());
        else if (auto* label = qobject_cast<tPkteLabel*>(w))
            label->NewColors();
    }
    FClient->update();
}

void TChildForm::Arrange() {
    const QSize area = FitBoardArea(FClient->width(), FClient->height());
    const int w = area.width();
    const int h = area.height();
    for (const tLabelPlace& p : kLabelPlaces) {
        tPkteLabel* label = FLabels[static_cast<std::size_t>(LineIndexOf(p.name))];
        label->move(LabelPosition(p, area, label->size()));
    }
    for (QWidget* c : FComponents)
        if (auto* hex = qobject_cast<tHexagon*>(c))
            hex->HexResize(h, w);
    Bewertung->move(w - Bewertung->width() - 10, Bewertung->y());
    BtnOk->move(w - BtnOk->width() - 10, h - BtnOk->height() - 10);
    BitBtn->move(w - BitBtn->width() - 10, BtnOk->y());
}

void TChildForm::ReportChildWriteError(const tWriteError& error) {
    QString caption;
    if (QMdiArea* area = mdiArea())
        caption = area->window()->windowTitle();
    if (caption.isEmpty())
        caption = QApplication::applicationDisplayName();
    ReportWriteError(error, caption);
}

void TChildForm::FirstShow() {
    FFirstPaint = false;
    Table().BoardShown(FKey);
    QSize area = parentWidget() ? parentWidget()->size() : QSize(width(), height());
    if (QMdiArea* mdi = mdiArea())
        area = mdi->viewport()->size();
    tChildPlacement saved;
    saved.Top = static_cast<int>(ReadProfileInt(kChildSection, "Top", 0));
    saved.Left = static_cast<int>(ReadProfileInt(kChildSection, "Left", 0));
    saved.Height = static_cast<int>(ReadProfileInt(kChildSection, "Height", height()));
    saved.Width = static_cast<int>(ReadProfileInt(kChildSection, "Width", width()));
    const auto state = ReadProfileInt(kChildSection, "State", 0);
    const tChildPlacement p = FitChildPlacement(saved, area.height(), area.width());
    setGeometry(p.Left, p.Top, p.Width, p.Height);
    const QMargins m = contentsMargins();
    const int d = m.top() + m.bottom();
    if (state >= 0 && state <= 2)
        SetWindowStateOf(this, static_cast<int>(state));
    try {
        WriteProfileInt(kChildSection, "Top", p.Top + d);
        WriteProfileInt(kChildSection, "Left", p.Left + d);
        WriteProfileInt(kChildSection, "Height", p.Height);
        WriteProfileInt(kChildSection, "Width", p.Width);
    } catch (const tWriteError& error) {
        ReportChildWriteError(error);
    }
    Arrange();
}

void TChildForm::SavePlacement() {
    try {
        const int state = WindowStateOf(this);
        if (state == 0) {
            WriteProfileInt(kChildSection, "Height", height());
            WriteProfileInt(kChildSection, "Width", width());
        }
        WriteProfileInt(kChildSection, "State", state);
    } catch (const tWriteError& error) {
        ReportChildWriteError(error);
    }
}

void TChildForm::BringToFront() {
    if (QMdiArea* area = mdiArea())
        area->setActiveSubWindow(this);
    raise();
    setFocus();
}

void TChildForm::BitBtnClick() {
    const tIpList& owners = Data().OwnerAddresses;
    if (owners.Count() > 0)
        FHost.OpenMessagesFor(owners.Items(0));
}

void TChildForm::Drop(tHexagon* cell) {
    if (cell)
        PlaceTile(static_cast<std::uint16_t>(cell->ComponentNumber()));
}

void TChildForm::MouseDownHex(tHexagon* sender, QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        FRightPressed = sender;
        return;
    }
    if (event->button() != Qt::LeftButton || !Table().CanMoveTile(FKey, sender->ComponentNumber()))
        return;
    FDragTile = sender;
    FDragOrigin = sender->pos();
    FDragCursor = event->globalPosition().toPoint();
    sender->raise();
}

void TChildForm::MouseMoveStein(tHexagon* sender, QMouseEvent* event) {
    if (!FDragTile || FDragTile != sender)
        return;
    const QPoint cursor = event->globalPosition().toPoint();
    FDragTile->move(FDragOrigin + (cursor - FDragCursor));
    for (tHexagon* cell : FCells) {
        if (!IsFree(cell->ComponentNumber()))
            continue;
        const QPoint origin = cell->mapToGlobal(QPoint(0, 0));
        const int w = cell->width();
        const int h = cell->height();
        if (cursor.x() >= origin.x() + w / 4 && cursor.x() <= origin.x() + 3 * w / 4 &&
            cursor.y() >= origin.y() + h / 4 && cursor.y() <= origin.y() + 3 * h / 4) {
            PlaceTile(static_cast<std::uint16_t>(cell->ComponentNumber()));
            if (!FDragTile)
                return;
            FDragOrigin = FDragTile->pos();
            FDragCursor = cursor;
            break;
        }
    }
}

void TChildForm::MouseUpStein(tHexagon* sender, QMouseEvent* event) {
    BringToFront();
    if (FDragTile)
        FDragTile->move(FDragOrigin);
    if (event->button() == Qt::LeftButton)
        FDragTile = nullptr;
    const tTableBoard& b = Data();
    if (event->button() != Qt::RightButton || b.IsRemote())
        return;
    const bool over = sender->rect().contains(event->position().toPoint());
    if (b.IsComputer()) {
        if (over && b.OkEnabled())
            ConfirmTile();
        return;
    }
    if (over && FRightPressed == sender && Table().CanMoveTile(FKey, sender->ComponentNumber()) &&
        b.OkEnabled())
        ConfirmTile();
}

void TChildForm::MouseUpSonst(QObject* sender, QMouseEvent* event) {
    BringToFront();
    if (event->button() != Qt::RightButton || Data().IsRemote())
        return;
    auto* widget = qobject_cast<QWidget*>(sender);
    const bool over = widget && widget->rect().contains(event->position().toPoint());
    if (!over)
        return;
    if (Data().IsComputer()) {
        if (Data().OkEnabled())
            ConfirmTile();
        return;
    }
    auto* cell = qobject_cast<tHexagon*>(sender);
    if (!cell || FRightPressed != cell || !IsFree(cell->ComponentNumber()) ||
        !Table().CanMoveTile(FKey, Data().Turn))
        return;
    PlaceTile(static_cast<std::uint16_t>(cell->ComponentNumber()));
    if (Data().OkEnabled())
        ConfirmTile();
}

void TChildForm::showEvent(QShowEvent* event) {
    QMdiSubWindow::showEvent(event);
    if (FFirstPaint)
        FirstShow();
}

void TChildForm::closeEvent(QCloseEvent* event) {
    QMdiSubWindow::closeEvent(event);
    if (!event->isAccepted())
        return;
    SavePlacement();
    if (!std::exchange(FClosing, true))
        FHost.Apply(Table().LeaveGame(FKey));
}

bool TChildForm::BoardKey(QKeyEvent* event) {
    if (!FMarker || !Data().IsLocalHuman() || (event->modifiers() & ~Qt::KeypadModifier))
        return false;
    switch (event->key()) {
    case Qt::Key_Left:
        MoveMarker(tMarkerStep::Left);
        return true;
    case Qt::Key_Right:
        MoveMarker(tMarkerStep::Right);
        return true;
    case Qt::Key_Up:
        MoveMarker(tMarkerStep::Up);
        return true;
    case Qt::Key_Down:
        MoveMarker(tMarkerStep::Down);
        return true;
    case Qt::Key_Space:
        PlaceTile(static_cast<std::uint16_t>(FMarker));
        return true;
    default:
        return false;
    }
}

void TChildForm::MoveMarker(tMarkerStep step) {
    FMarker = MarkerStep(FMarker, step, [this](int code) { return IsFree(code); });
    UpdateMarker();
}

void TChildForm::UpdateMarker() {
    int code = 0;
    const tTableBoard& b = Data();
    if (b.IsLocalHuman() && b.Turn <= kTurnsPlayed) {
        const bool holdsCurrent = b.Phase != tTilePhase::Confirmed && FMarker != 0 &&
                                  b.CellOf[static_cast<std::size_t>(b.Turn)] == FMarker;
        code =
            holdsCurrent ? FMarker : NearestFreeCell(FMarker, [this](int c) { return IsFree(c); });
    }
    FMarker = code;
    // Shown on what lies on top at that cell: the cell, or the tile just laid.
    tHexagon* shown = Cell(code);
    if (shown && shown->GetOccupation())
        shown = shown->GetOccupation();
    for (QWidget* w : FComponents)
        if (auto* hex = qobject_cast<tHexagon*>(w))
            hex->SetMarked(hex == shown);
}

void TChildForm::keyPressEvent(QKeyEvent* event) {
    if (BoardKey(event)) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!BtnOk->isHidden() && BtnOk->isEnabled()) {
            BtnOk->click();
            event->accept();
            return;
        }
        if (!BitBtn->isHidden() && BitBtn->isEnabled()) {
            BitBtn->click();
            event->accept();
            return;
        }
    }
    QMdiSubWindow::keyPressEvent(event);
}

bool TChildForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && BoardKey(static_cast<QKeyEvent*>(event)))
        return true;
    if (watched == FClient && event->type() == QEvent::Resize) {
        Arrange();
    } else if (event->type() == QEvent::MouseButtonRelease &&
               (watched == FClient || qobject_cast<tPkteLabel*>(watched))) {
        MouseUpSonst(watched, static_cast<QMouseEvent*>(event));
    }
    return QMdiSubWindow::eventFilter(watched, event);
}
