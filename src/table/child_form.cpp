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
#include <atomic>
#include <cstring>
#include <random>
#include <utility>

#include "core/colors.h"
#include "core/computer_player.h"
#include "core/remote_move.h"
#include "core/scoring.h"
#include "core/text_codec.h"
#include "frame/board_host.h"
#include "game/hexagon.h"
#include "game/pkte_label.h"
#include "game/qt_colors.h"
#include "platform/language.h"
#include "platform/placement.h"
#include "platform/settings_file.h"
#include "platform/udp_socket.h"
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

int LineIndexOf(const char* name) {
    for (int i = 0; i < kLineCount; ++i)
        if (std::strcmp(kLines[static_cast<std::size_t>(i)].name, name) == 0)
            return i;
    return -1;
}

} // namespace

std::uint32_t TChildForm::NewLocalBoardId() {
    static std::atomic<std::uint32_t> next{[] {
        std::random_device device;
        return static_cast<std::uint32_t>(device());
    }()};
    std::uint32_t id = next.fetch_add(1);
    while (id == 0)
        id = next.fetch_add(1);
    return id;
}

TChildForm::TChildForm(tBoardHost& host, tRandom& random, QWidget* parent)
    : QMdiSubWindow(parent), FHost(host), FRandom(random) {
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
    connect(FRating, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            Evaluate();
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
    // The caption decides the board kind, and it is set after StartGame.
    connect(this, &QWidget::windowTitleChanged, this, [this] { UpdateMarker(); });

    setWidget(FClient);
    setMinimumSize(kMinOuterWidth, kMinOuterHeight);
    resize(sizeHint().expandedTo(minimumSize()));
    ApplyColors();

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

bool TChildForm::IsComputer() const {
    return windowTitle() == QLatin1String("PC");
}

bool TChildForm::IsRemote() const {
    return windowTitle().startsWith(QLatin1String("\\\\"));
}

bool TChildForm::IsFree(const tHexagon* cell) {
    return cell && cell->Style() == hxEmpty && !cell->GetOccupation();
}

bool TChildForm::IsLocal() const {
    const tIpList* own = FHost.OwnAddressList();
    return OwnerAddresses && OwnerAddresses->Count() > 0 && own &&
           own->Contains(OwnerAddresses->Items(0));
}

int TChildForm::ItemIndex() const {
    return FQuality->isChecked() ? 1 : 0;
}

void TChildForm::SetItemIndex(int index) {
    if (index == ItemIndex() || (index != 0 && index != 1))
        return;
    (index == 1 ? FQuality : FPunkte)->setChecked(true);
}

void TChildForm::StartGame(const TileOrder& order) {
    Turn = 1;
    AwaitingTile = true;
    for (int place = 1; place <= kTileCount; ++place) {
        tHexagon* tile = Stock(place);
        tile->FreeOccupation();
        const std::uint16_t n = order.Tile(place);
        tile->Init(static_cast<thxNummer>(n < kTileCount ? n : 0), hxHidden);
    }
    Stock(1)->SetStyle(hxHighlight);
    for (tHexagon* cell : FCells) {
        cell->FreeOccupation();
        cell->Init(1, hxEmpty);
    }
    BtnOk->setEnabled(false);
    FMarker = 0;
    UpdateMarker();
    Arrange();
}

void TChildForm::NextTile() {
    if (Turn >= kTurnsPlayed) {
        while (Turn < kLastTurn) {
            ++Turn;
            Stock(Turn)->SetStyle(hxVisible);
        }
        BtnOk->setEnabled(true);
        UpdateMarker();
        return;
    }
    ++Turn;
    Stock(Turn)->SetStyle(hxHighlight);
    if (IsComputer())
        ComputerMove();
    AwaitingTile = true;
    UpdateMarker();
    if (!FEarly.empty()) {
        // Played once the main window has moved every board on: a
        // confirmation in here would ask it for the next player mid-way.
        QMetaObject::invokeMethod(
            this,
            [this] {
                const std::vector<tEarlyMove> early = std::exchange(FEarly, {});
                for (const tEarlyMove& m : early)
                    if (!FLeft)
                        RemoteMove(m.turn, m.cellCode, m.confirm);
            },
            Qt::QueuedConnection);
    }
}

void TChildForm::Evaluate() {
    const std::uint8_t mode = RatingMode(ItemIndex(), Turn);
    Total = 0;
    for (std::size_t i = 0; i < kLines.size(); ++i) {
        const tLine& line = kLines[i];
        tHexagon* e[5] = {nullptr, nullptr, nullptr, nullptr, nullptr};
        for (int j = 0; j < line.length; ++j)
            e[j] = Cell(line.cells[static_cast<std::size_t>(j)]);
        Total = static_cast<std::uint16_t>(
            Total + FLabels[i]->Calculate(e[0], e[1], e[2], e[3], e[4], line.direction, mode));
    }
    Bewertung->setTitle(QString::number(Total));
    Bewertung->setAccessibleName(ItemIndex() == 0
                                     ? Tr("Summe: %1 Punkte", "Total: %1 points").arg(Total)
                                     : Tr("Summe: Bewertung %1", "Total: quality %1").arg(Total));
}

void TChildForm::ComputerMove() {
    tHexagon* tile = Stock(Turn);
    if (!tile || Turn > kTurnsPlayed)
        return;
    const int remembered = ItemIndex();
    SetItemIndex(1);
    // The board as the rules see it; a tile already lying somewhere competes
    // for every free cell again, so its own cell counts as free.
    tBoard board;
    for (std::uint16_t code : kCellCodes) {
        const tHexagon* cell = Cell(code);
        const tHexagon* on = cell->GetOccupation();
        if (on && on != tile)
            board.Lay(code, on->Nummer());
    }
    const std::uint16_t chosen = ::ComputerMove(board, tile->Nummer(), Turn, FRandom);
    if (tHexagon* cell = Cell(chosen))
        PlaceTile(tile, cell);
    SetItemIndex(remembered);
}

void TChildForm::PlaceTile(tHexagon* tile, tHexagon* cell) {
    if (tHexagon* old = tile->GetOccupation())
        old->FreeOccupation();
    tile->LayAt(cell->y(), cell->x());
    cell->Occupy(tile);
    tile->Occupy(cell);
    if (IsLocal())
        SendToPeers(tDatagram::TileLaid(0, BoardId, static_cast<std::uint8_t>(Turn),
                                        static_cast<std::uint16_t>(cell->ComponentNumber())));
    // The explicit visibility, not the on-screen one: a board laid on before
    // it is first shown must still be confirmable.
    if (!BtnOk->isHidden()) {
        BtnOk->setEnabled(true);
        BtnOk->setFocus();
    }
    Evaluate();
    UpdateMarker();
}

void TChildForm::ConfirmTile() {
    if (Turn > kTurnsPlayed) {
        close();
        return;
    }
    tHexagon* tile = Stock(Turn);
    tHexagon* cell = tile ? tile->GetOccupation() : nullptr;
    if (!cell)
        return; // nothing laid yet: there is nothing to confirm
    AwaitingTile = false;
    BtnOk->setEnabled(false);
    tile->SetStyle(hxVisible);
    UpdateMarker();
    if (IsLocal())
        SendToPeers(tDatagram::TileConfirmed(0, BoardId, static_cast<std::uint8_t>(Turn),
                                             static_cast<std::uint16_t>(cell->ComponentNumber())));
    FHost.NextPlayerDue();
}

void TChildForm::RemoteMove(int turn, std::uint16_t cellCode, bool confirm) {
    tRemoteBoard board;
    board.Turn = Turn;
    const tHexagon* current = Stock(Turn);
    board.TurnConfirmed = !current || current->Style() != hxHighlight;
    for (std::size_t i = 0; i < kCellCodes.size(); ++i)
        if (const tHexagon* tile = FCells[i]->GetOccupation())
            board.PlaceOn[i] = static_cast<std::uint8_t>(tile->ComponentNumber());
    switch (CheckRemoteMove(board, turn, cellCode, confirm)) {
    case tRemoteAction::Lay:
        PlaceTile(Stock(turn), Cell(cellCode));
        break;
    case tRemoteAction::LayAndConfirm:
        PlaceTile(Stock(turn), Cell(cellCode));
        ConfirmTile();
        break;
    case tRemoteAction::Ignore:
        break;
    case tRemoteAction::Early:
        // A few moves of the tile and its confirmation; a flood is no course.
        if (FEarly.size() < 8) {
            FEarly.push_back({turn, cellCode, confirm});
            break;
        }
        close();
        break;
    case tRemoteAction::Leave:
        close();
        break;
    }
}

void TChildForm::SendToPeers(tDatagram message) {
    const tIpList* peers = FHost.PeerPcList();
    if (!OwnerAddresses || !peers)
        return;
    for (int i = peers->Count() - 1; i >= 0; --i) {
        const tAddress peer = peers->Items(i);
        message.SenderAddress = OwnerAddressFor(peer);
        FHost.SendDatagram(message, peer);
    }
}

tAddress TChildForm::OwnerAddressFor(tAddress peer) const {
    return OwnerAddresses ? PreferredOwnAddress(*OwnerAddresses, peer) : 0;
}

void TChildForm::AnnounceTo(tAddress peer) {
    const tAddress owner = OwnerAddressFor(peer);
    QString name = windowTitle();
    if (name.startsWith(QLatin1String("\\\\"))) {
        const int slash = name.indexOf(QLatin1Char('\\'), 2);
        name = slash >= 0 ? name.mid(slash + 1) : name.mid(2);
    }
    const std::string wireName = Utf8ToCp1252(name.left(kNameMaxChars).toStdString());
    const tDatagram board = tDatagram::Board(FHost.CurrentTileOrder(), owner, wireName, BoardId);
    const int copies = OwnerAddresses ? OwnerAddresses->Count() : 0;
    for (int i = 0; i < copies; ++i)
        FHost.SendDatagram(board, peer);
    if (tHexagon* cell = Stock(1)->GetOccupation())
        FHost.SendDatagram(tDatagram::TileLaid(owner, BoardId, 1,
                                               static_cast<std::uint16_t>(cell->ComponentNumber())),
                           peer);
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
    int h = FClient->height();
    int w = h * 540 / 280;
    if (w > FClient->width()) {
        w = FClient->width();
        h = w * 280 / 540;
    }
    struct tLabelPlace {
        const char* name;
        int left;      // percent of w
        int top;       // percent of h
        bool upward;   // top minus the label's height
        bool leftward; // left minus the label's width
    };
    static const tLabelPlace places[] = {
        {"Hoch1", 49, 24, true, false}, {"Hoch2", 57, 14, true, false},
        {"Hoch3", 65, 5, true, false},  {"Hoch4", 73, 14, true, false},
        {"Hoch5", 81, 24, true, false}, {"Ab1", 85, 36, false, false},
        {"Ab2", 85, 55, false, false},  {"Ab3", 85, 74, false, false},
        {"Ab4", 77, 83, false, false},  {"Ab5", 69, 93, false, false},
        {"Auf1", 47, 36, false, true},  {"Auf2", 47, 55, false, true},
        {"Auf3", 47, 74, false, true},  {"Auf4", 55, 83, false, true},
        {"Auf5", 63, 93, false, true},
    };
    for (const tLabelPlace& p : places) {
        tPkteLabel* label = FLabels[static_cast<std::size_t>(LineIndexOf(p.name))];
        int left = w * p.left / 100;
        int top = h * p.top / 100;
        if (p.upward)
            top -= label->height();
        if (p.leftward)
            left -= label->width();
        label->move(left, top);
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
    TakesPart = true;
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

void TChildForm::LeaveGame() {
    if (FLeft)
        return;
    FLeft = true;
    TakesPart = false;
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
    AwaitingTile = false;
    FHost.NextPlayerDue();
    const tIpList* own = FHost.OwnAddressList();
    if (IsLocal() && OwnerAddresses->Count() > 0 && own && own->Count() > 0)
        SendToPeers(tDatagram::BoardClosed(0, BoardId));
    FHost.PurgePeers();
    FHost.ShowDemo(true);
}

void TChildForm::BringToFront() {
    if (QMdiArea* area = mdiArea())
        area->setActiveSubWindow(this);
    raise();
    setFocus();
}

void TChildForm::BitBtnClick() {
    if (OwnerAddresses && OwnerAddresses->Count() > 0)
        FHost.OpenMessagesFor(OwnerAddresses->Items(0));
}

void TChildForm::Drop(tHexagon* cell) {
    if (!IsLocalHuman() || !IsFree(cell) || Turn < 1 || Turn > kTurnsPlayed)
        return;
    tHexagon* tile = Stock(Turn);
    if (tile->Style() != hxHighlight)
        return;
    if (BtnOk->isEnabled() || !tile->GetOccupation())
        PlaceTile(tile, cell);
}

void TChildForm::MouseDownHex(tHexagon* sender, QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        FRightPressed = sender;
        return;
    }
    if (event->button() != Qt::LeftButton || !IsLocalHuman())
        return;
    if (sender->Style() != hxHighlight || sender->ComponentNumber() >= 100)
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
        if (!IsFree(cell))
            continue;
        const QPoint origin = cell->mapToGlobal(QPoint(0, 0));
        const int w = cell->width();
        const int h = cell->height();
        if (cursor.x() >= origin.x() + w / 4 && cursor.x() <= origin.x() + 3 * w / 4 &&
            cursor.y() >= origin.y() + h / 4 && cursor.y() <= origin.y() + 3 * h / 4) {
            PlaceTile(FDragTile, cell);
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
    if (event->button() != Qt::RightButton || IsRemote())
        return;
    const bool over = sender->rect().contains(event->position().toPoint());
    if (IsComputer()) {
        if (over && BtnOk->isEnabled())
            ConfirmTile();
        return;
    }
    if (over && FRightPressed == sender && sender->Style() == hxHighlight && BtnOk->isEnabled())
        ConfirmTile();
}

void TChildForm::MouseUpSonst(QObject* sender, QMouseEvent* event) {
    BringToFront();
    if (event->button() != Qt::RightButton || IsRemote())
        return;
    auto* widget = qobject_cast<QWidget*>(sender);
    const bool over = widget && widget->rect().contains(event->position().toPoint());
    if (!over)
        return;
    if (IsComputer()) {
        if (BtnOk->isEnabled())
            ConfirmTile();
        return;
    }
    auto* cell = qobject_cast<tHexagon*>(sender);
    if (!cell || FRightPressed != cell || !IsFree(cell) || Turn < 1 || Turn > kTurnsPlayed)
        return;
    tHexagon* tile = Stock(Turn);
    if (tile->Style() != hxHighlight || (!BtnOk->isEnabled() && tile->GetOccupation()))
        return;
    PlaceTile(tile, cell);
    if (BtnOk->isEnabled())
        ConfirmTile();
}

void TChildForm::showEvent(QShowEvent* event) {
    QMdiSubWindow::showEvent(event);
    if (FFirstPaint)
        FirstShow();
}

void TChildForm::closeEvent(QCloseEvent* event) {
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted())
        LeaveGame();
}

bool TChildForm::BoardKey(QKeyEvent* event) {
    if (!FMarker || !IsLocalHuman() || (event->modifiers() & ~Qt::KeypadModifier))
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
        Drop(Cell(FMarker));
        return true;
    default:
        return false;
    }
}

void TChildForm::MoveMarker(tMarkerStep step) {
    FMarker = MarkerStep(FMarker, step, [this](int code) { return IsFree(Cell(code)); });
    UpdateMarker();
}

void TChildForm::UpdateMarker() {
    int code = 0;
    tHexagon* current = Stock(Turn);
    if (IsLocalHuman() && current && Turn <= kTurnsPlayed) {
        const tHexagon* cell = Cell(FMarker);
        const bool holdsCurrent =
            cell && current->Style() == hxHighlight && cell->GetOccupation() == current;
        code = holdsCurrent ? FMarker
                            : NearestFreeCell(FMarker, [this](int c) { return IsFree(Cell(c)); });
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
