// The hexagon control: painting in its four styles, board geometry, mouse signals.
#include "game/hexagon.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <algorithm>

#include "game/qt_colors.h"

namespace {

constexpr int kPrefixLength = 7; // "Hexagon"

std::array<QPoint, 2> Edge(QPoint from, QPoint to) {
    return {from, to};
}

} // namespace

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

    if (FStyle != hxVisible && FStyle != hxHighlight)
        return;

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
