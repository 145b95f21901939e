// The hexagon control: painting in its four styles, board geometry, mouse signals.
#include "game/hexagon.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <algorithm>

#include "game/qt_colors.h"
#include "platform/language.h"

namespace {

constexpr int kPrefixLength = 7; // "Hexagon"

std::array<QPoint, 2> Edge(QPoint from, QPoint to) {
    return {from, to};
}

// Place of a cell on the board: its column 1..5 and its height in half cells
// from the top (0..8; a column's cells are two apart, neighbouring columns
// are offset by one).
struct tCellPlace {
    int column;
    int half;
};

tCellPlace PlaceOf(int code) {
    return {code / 100, (code / 10) % 10 + code % 10 - 2};
}

// Steps between two cells, every neighbour one step.
int CellDistance(tCellPlace a, tCellPlace b) {
    const int dx = std::abs(a.column - b.column);
    const int dy = std::abs(a.half - b.half);
    return dx + std::max(0, (dy - dx) / 2);
}

QString StripeValues(const tHexagon& tile) {
    return QStringLiteral("%1 %2 %3")
        .arg(tile.GetLine(0))
        .arg(tile.GetLine(1))
        .arg(tile.GetLine(2));
}

bool ShowsStripes(const tHexagon& hex) {
    return hex.Style() == hxVisible || hex.Style() == hxHighlight;
}

// What a screen reader says about a cell or tile, in the session's language.
QString AccessibleName(const tHexagon& hex) {
    const int number = hex.ComponentNumber();
    if (number >= 100) {
        // Board windows lay tiles on cells; the demonstration board shows
        // the tile in the cell itself.
        const tHexagon* shown = hex.Style() != hxEmpty ? &hex : hex.GetOccupation();
        if (!shown)
            return Tr("Feld %1, frei", "Cell %1, free").arg(number);
        if (!ShowsStripes(*shown))
            return Tr("Feld %1, belegt", "Cell %1, taken").arg(number);
        return Tr("Feld %1, Plättchen %2", "Cell %1, tile %2")
            .arg(number)
            .arg(StripeValues(*shown));
    }
    // A tile outside a stock (the colours window's preview) has no number.
    const QString tile =
        number > 0 ? Tr("Plättchen %1", "Tile %1").arg(number) : Tr("Plättchen", "Tile");
    if (!ShowsStripes(hex))
        return tile + Tr(", verdeckt", ", hidden");
    QString name = tile + QStringLiteral(": ") + StripeValues(hex);
    if (const tHexagon* cell = hex.GetOccupation())
        name += Tr(", auf Feld %1", ", on cell %1").arg(cell->ComponentNumber());
    return name;
}

QString AccessibleDescription(const tHexagon& hex) {
    QStringList parts;
    if (hex.Style() == hxHighlight && hex.ComponentNumber() < 100)
        parts << Tr("jetzt zu legen", "to be laid now");
    if (hex.Marked())
        parts << Tr("markiert", "marked");
    return parts.join(QStringLiteral(", "));
}

class tHexagonAccessible : public QAccessibleWidget {
public:
    explicit tHexagonAccessible(tHexagon* hex) : QAccessibleWidget(hex, QAccessible::Graphic) {}

    QString text(QAccessible::Text t) const override {
        const auto* hex = static_cast<const tHexagon*>(object());
        if (t == QAccessible::Name)
            return AccessibleName(*hex);
        if (t == QAccessible::Description)
            return AccessibleDescription(*hex);
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.selectable = true;
        s.selected = static_cast<const tHexagon*>(object())->Marked();
        return s;
    }
};

QAccessibleInterface* HexagonAccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("tHexagon") && object && object->isWidgetType())
        return new tHexagonAccessible(static_cast<tHexagon*>(object));
    return nullptr;
}

} // namespace

int MarkerStep(int cellCode, tMarkerStep step, const std::function<bool(int)>& isFree) {
    if (!IsCellCode(cellCode))
        return cellCode;
    const tCellPlace from = PlaceOf(cellCode);
    int best = cellCode;
    if (step == tMarkerStep::Up || step == tMarkerStep::Down) {
        const int sign = step == tMarkerStep::Up ? -1 : 1;
        int bestDistance = 0;
        for (std::uint16_t code : kCellCodes) {
            const tCellPlace p = PlaceOf(code);
            const int distance = (p.half - from.half) * sign;
            if (p.column != from.column || distance <= 0 || !isFree(code))
                continue;
            if (bestDistance == 0 || distance < bestDistance) {
                best = code;
                bestDistance = distance;
            }
        }
        return best;
    }
    const int sign = step == tMarkerStep::Left ? -1 : 1;
    for (int column = from.column + sign; column >= 1 && column <= 5; column += sign) {
        // The marker's row in that column: odd columns stand half a cell
        // higher than even ones.
        const int rowHalf = from.half + (column % 2 == 0) - (from.column % 2 == 0);
        std::array<int, 3> bestKey{};
        for (std::uint16_t code : kCellCodes) {
            const tCellPlace p = PlaceOf(code);
            if (p.column != column || !isFree(code))
                continue;
            const std::array<int, 3> key = {std::abs(p.half - rowHalf),
                                            std::abs(p.half - from.half), p.half};
            if (best == cellCode || key < bestKey) {
                best = code;
                bestKey = key;
            }
        }
        if (best != cellCode)
            return best;
    }
    return cellCode;
}

int NearestFreeCell(int cellCode, const std::function<bool(int)>& isFree) {
    if (IsCellCode(cellCode) && isFree(cellCode))
        return cellCode;
    const tCellPlace from = PlaceOf(IsCellCode(cellCode) ? cellCode : 333);
    int best = 0;
    std::array<int, 3> bestKey{};
    for (std::uint16_t code : kCellCodes) {
        if (!isFree(code))
            continue;
        const tCellPlace p = PlaceOf(code);
        const std::array<int, 3> key = {CellDistance(from, p), p.half, p.column};
        if (best == 0 || key < bestKey) {
            best = code;
            bestKey = key;
        }
    }
    return best;
}

std::array<QPoint, 6> HexagonCorners(int w, int h) {
    return {QPoint(w - 2, h / 2), QPoint(3 * w / 4 - 1, h - 2), QPoint(w / 4 + 1, h - 2),
            QPoint(1, h / 2),     QPoint(w / 4 + 1, 1),         QPoint(3 * w / 4 - 1, 1)};
}

int HexagonFontPointSize(int height) {
    return std::max(1, height / 4);
}

tStripeGeometry StripeGeometry(int direction, int w, int h) {
    tStripeGeometry g;
    if (direction == 0) {
        const QPoint a(7 * w / 16, 3), b(9 * w / 16, 3), c(9 * w / 16, h - 4), d(7 * w / 16, h - 4);
        g.corners = {a, b, c, d};
        g.edge1 = Edge(a, d);
        g.edge2 = Edge(b, c);
        g.anchor = QPoint(w / 2, h / 4);
    } else if (direction == 1) {
        const QPoint a(10 * w / 64, 43 * h / 64), b(50 * w / 64, 15 * h / 64),
            c(54 * w / 64, 21 * h / 64), d(14 * w / 64, 49 * h / 64);
        g.corners = {a, b, c, d};
        g.edge1 = Edge(a, b);
        g.edge2 = Edge(d, c);
        g.anchor = QPoint(5 * w / 16, 5 * h / 8);
    } else {
        const QPoint a(14 * w / 64, 15 * h / 64), b(54 * w / 64, 43 * h / 64),
            c(50 * w / 64, 49 * h / 64), d(10 * w / 64, 21 * h / 64);
        g.corners = {a, b, c, d};
        g.edge1 = Edge(a, b);
        g.edge2 = Edge(d, c);
        g.anchor = QPoint(11 * w / 16, 5 * h / 8);
    }
    return g;
}

QPoint StackPosition(int a, int b, int number) {
    const int c = (number - 1) % 9;
    const int g = (number - 1) / 9;
    const int step = 19 * a / 100;
    if (c <= 3)
        return {(14 * b / 100) * g, step * (3 - c) + 15 * a / 100};
    return {7 * b / 100 + (14 * b / 100) * g, step * (8 - c) + 6 * a / 100};
}

QPoint BoardPosition(int a, int b, int number) {
    const int x = number / 100;
    const int y = (number / 10) % 10;
    return {38 * b / 100 + (8 * b / 100) * x,
            (15 - 9 * (x % 2)) * a / 100 + (19 * a / 100) * (y - x / 2)};
}

int HexagonNameNumber(const QString& name) {
    if (!name.startsWith(QLatin1String("Hexagon")))
        return 0;
    const QStringView digits = QStringView(name).mid(kPrefixLength);
    // Nine digits keep the value inside int; longer names are not ours.
    if (digits.isEmpty() || digits.size() > 9)
        return 0;
    int value = 0;
    for (const QChar ch : digits) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return 0;
        value = value * 10 + (ch.unicode() - '0');
    }
    return value;
}

tHexagon::tHexagon(QWidget* parent) : QWidget(parent), FColors(SharedColors()) {
    setMouseTracking(false);
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(HexagonAccessibleFactory);
        return true;
    }();
    (void)factoryInstalled;
}

void tHexagon::SetMarked(bool marked) {
    if (marked == FMarked)
        return;
    FMarked = marked;
    update();
    if (QAccessible::isActive()) {
        QAccessible::State changed;
        changed.selected = true;
        QAccessibleStateChangeEvent stateEvent(this, changed);
        QAccessible::updateAccessibility(&stateEvent);
        if (marked) {
            // Screen readers speak the object that takes the focus; the
            // keyboard focus itself stays on the window's buttons.
            QAccessibleEvent focusEvent(this, QAccessible::Focus);
            QAccessible::updateAccessibility(&focusEvent);
        }
    }
}

void tHexagon::SetStyle(thxStyle style) {
    if (style > hxHighlight)
        return;
    FStyle = style;
    update();
}

void tHexagon::SetNummer(thxNummer nummer) {
    if (nummer >= kTileCount)
        return;
    FNummer = nummer;
    update();
}

void tHexagon::Init(thxNummer nummer, thxStyle style) {
    if (nummer < kTileCount)
        FNummer = nummer;
    if (style <= hxHighlight)
        FStyle = style;
    update();
}

std::uint16_t tHexagon::GetLine(std::uint8_t direction) const {
    return StripeValue(FNummer, direction);
}

void tHexagon::LayAt(int top, int left) {
    move(left, top);
    raise();
}

void tHexagon::HexResize(int boardHeight, int boardWidth) {
    const int a = std::max(0, boardHeight);
    const int b = std::max(0, boardWidth);
    QPoint pos;
    switch (FStyle) {
    case hxEmpty:
        pos = BoardPosition(a, b, ComponentNumber());
        break;
    case hxHidden:
        pos = StackPosition(a, b, ComponentNumber());
        break;
    default:
        if (const tHexagon* cell = GetOccupation())
            pos = BoardPosition(a, b, cell->ComponentNumber());
        else if (ComponentNumber() < 100)
            pos = StackPosition(a, b, ComponentNumber());
        else
            pos = BoardPosition(a, b, ComponentNumber());
        break;
    }
    setGeometry(pos.x(), pos.y(), b / 12, a / 7);
}

void tHexagon::NewColors(const std::array<tColor, 10>& lineColors, tColor background, tColor light,
                         tColor shadow) {
    FColors.LineColors = lineColors;
    FColors.BackgroundColor = background;
    FColors.LightColor = light;
    FColors.ShadowColor = shadow;
}

void tHexagon::NewColors(const tColorSet& colors) {
    FColors = colors;
}

void tHexagon::paintEvent(QPaintEvent*) {
    // Cells and tiles are repainted whenever a neighbour changes, and the
    // demonstration board changes some every second: a picture is drawn once
    // per look and size and shared by every control that shows it.
    const qreal ratio = devicePixelRatioF();
    const QString key = PictureKey(ratio);
    QPixmap picture;
    if (!QPixmapCache::find(key, &picture)) {
        picture = QPixmap(size() * ratio);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        QPainter p(&picture);
        Draw(p);
        p.end();
        QPixmapCache::insert(key, picture);
    }
    QPainter(this).drawPixmap(0, 0, picture);
}

QString tHexagon::PictureKey(qreal ratio) const {
    // Everything Draw reads, with system colours as they resolve now.
    const QPalette& palette = QGuiApplication::palette();
    QString key = QStringLiteral("hex:%1:%2:%3:%4:%5:%6:%7:%8")
                      .arg(width())
                      .arg(height())
                      .arg(ratio)
                      .arg(int(FStyle))
                      .arg(ToQColor(FColors.LightColor, palette).rgba())
                      .arg(ToQColor(FColors.ShadowColor, palette).rgba())
                      .arg(ToQColor(FColors.BackgroundColor, palette).rgba())
                      .arg(font().key());
    if (FMarked)
        key += QStringLiteral(":marked");
    if (FStyle == hxVisible || FStyle == hxHighlight) {
        key += QStringLiteral(":n%1").arg(int(FNummer));
        for (int d = 0; d < 3; ++d)
            key += QStringLiteral(":%1").arg(
                ToQColor(FColors.LineColors[GetLine(static_cast<std::uint8_t>(d))], palette)
                    .rgba());
    }
    return key;
}

void tHexagon::Draw(QPainter& p) const {
    const int w = width();
    const int h = height();
    const QPalette& palette = QGuiApplication::palette();
    const QColor light = ToQColor(FColors.LightColor, palette);

    p.setRenderHint(QPainter::Antialiasing);

    // A 2-pixel pen centred on integer coordinates covers whole pixels, so the
    // straight edges stay sharp; round joins keep the pointed corners inside.
    const auto corners = HexagonCorners(w, h);
    p.setPen(QPen(ToQColor(FColors.ShadowColor, palette), 2, Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    p.setBrush(FStyle == hxHighlight ? light : ToQColor(FColors.BackgroundColor, palette));
    p.drawPolygon(corners.data(), static_cast<int>(corners.size()));

    // corners: 0 right, 1 lower right, 2 lower left, 3 left, 4 upper left, 5 upper right
    p.setPen(QPen(light, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (FStyle == hxEmpty) {
        const QPoint relief[4] = {corners[5], corners[0], corners[1], corners[2]};
        p.drawPolyline(relief, 4);
    } else {
        const QPoint relief[4] = {corners[2], corners[3], corners[4], corners[5]};
        p.drawPolyline(relief, 4);
    }

    if (FStyle == hxVisible || FStyle == hxHighlight)
        DrawStripes(p);
    if (FMarked)
        DrawMarker(p);
}

void tHexagon::DrawMarker(QPainter& p) const {
    // A black band with a white core stands out on every background and
    // every stripe colour. It is the body shrunk towards the middle, so it
    // grows with the control and leaves the outline and relief visible.
    const int w = width();
    const int h = height();
    const QPointF middle(w / 2.0, h / 2.0);
    const auto corners = HexagonCorners(w, h);
    const qreal band = std::max(4, h / 8);
    // Just inside the outline, clear of the stripe values.
    const qreal shrink = 1.0 - (band / 2 + 2.0) / (h / 2.0);
    QPointF ring[6];
    for (std::size_t i = 0; i < corners.size(); ++i)
        ring[i] = middle + (QPointF(corners[i]) - middle) * shrink;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0), band, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolygon(ring, 6);
    p.setPen(QPen(QColor(255, 255, 255), band * 2 / 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolygon(ring, 6);
}

void tHexagon::DrawStripes(QPainter& p) const {
    const int w = width();
    const int h = height();
    const QPalette& palette = QGuiApplication::palette();

    QFont f = font();
    f.setPointSize(HexagonFontPointSize(h));
    f.setBold(true);
    p.setFont(f);
    const QFontMetrics fm(f);
    const QColor white(255, 255, 255);

    for (int d = 0; d < 3; ++d) {
        const std::uint16_t v = GetLine(static_cast<std::uint8_t>(d));
        const QColor lineColor = ToQColor(FColors.LineColors[v], palette);
        const tStripeGeometry g = StripeGeometry(d, w, h);

        // Thin strokes are centred on pixel centres so that one-pixel edges
        // cover one pixel column instead of blurring over two.
        p.save();
        p.translate(0.5, 0.5);
        p.setPen(QPen(lineColor, 1));
        p.setBrush(lineColor);
        p.drawPolygon(g.corners.data(), 4);
        p.setPen(QPen(white, 1));
        p.drawLine(g.edge1[0], g.edge1[1]);
        p.drawLine(g.edge2[0], g.edge2[1]);
        p.restore();

        const QString text = QString::number(v);
        const int x = g.anchor.x() - fm.horizontalAdvance(text) / 2;
        const int y = g.anchor.y() - fm.height() / 2 + fm.ascent();
        p.setBrush(Qt::NoBrush);
        p.setPen(white);
        p.drawText(x - 1, y - 1, text);
        p.drawText(x - 1, y + 1, text);
        p.drawText(x + 1, y + 1, text);
        p.drawText(x + 1, y - 1, text);
        p.setPen(QColor(0, 0, 0));
        p.drawText(x, y, text);
    }
}

void tHexagon::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        FLeftPressed = true;
    emit mousePressed(this, event);
}

void tHexagon::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(this, event);
}

void tHexagon::mouseReleaseEvent(QMouseEvent* event) {
    // A handler may close the window that owns this control.
    const QPointer<tHexagon> self(this);
    if (event->button() == Qt::LeftButton) {
        const bool wasPressed = FLeftPressed;
        FLeftPressed = false;
        if (wasPressed && rect().contains(event->position().toPoint()))
            emit clicked(this);
    }
    if (self)
        emit mouseReleased(this, event);
}
