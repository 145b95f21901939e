// Widget tests of the hexagon control: geometry, rendering per style, colours, mouse.
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "game/hexagon.h"
#include "game/qt_colors.h"

namespace {

// Plain colours, so that rendered pixels can be compared exactly; the frame
// colours are tinted so that no blend of two of them is a grey line colour.
tColorSet TestColors() {
    tColorSet set = DefaultColorSet();
    set.BackgroundColor = MakeColor(200, 190, 170);
    set.LightColor = MakeColor(250, 245, 220);
    set.ShadowColor = MakeColor(90, 80, 60);
    return set;
}

QImage Render(tHexagon& hex) {
    return hex.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QColor Pixel(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

QColor Qc(tColor c) {
    return ToQColor(c);
}

int Distance(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
           std::abs(a.blue() - b.blue());
}

// A point on the stripe of direction d, on its centre line, away from the
// crossing and from the written value.
QPoint StripeSample(int d, int w, int h) {
    const tStripeGeometry g = StripeGeometry(d, w, h);
    // Corners 0-1 and 3-2 are the short ends of the vertical stripe, 0-3 and
    // 1-2 those of the slanted ones.
    const int second = d == 0 ? 1 : 3;
    const int third = d == 0 ? 3 : 1;
    const QPointF a = (QPointF(g.corners[0]) + QPointF(g.corners[second])) / 2;
    const QPointF b = (QPointF(g.corners[third]) + QPointF(g.corners[2])) / 2;
    const double t = d == 0 ? 0.8 : d == 1 ? 0.85 : 0.15;
    return (a + (b - a) * t).toPoint();
}

std::unique_ptr<tHexagon> Tile(const char* name, thxNummer n, thxStyle style, int w, int h) {
    auto hex = std::make_unique<tHexagon>();
    hex->setObjectName(name);
    hex->NewColors(TestColors());
    hex->Init(n, style);
    hex->resize(w, h);
    return hex;
}

} // namespace

TEST(HexagonGeometry, CornersOfA48By49ControlAndItsFontSize) {
    const auto corners = HexagonCorners(48, 49);
    const std::array<QPoint, 6> expected = {QPoint(46, 24), QPoint(35, 47), QPoint(13, 47),
                                            QPoint(1, 24),  QPoint(13, 1),  QPoint(35, 1)};
    EXPECT_EQ(corners, expected);
    EXPECT_EQ(HexagonFontPointSize(49), 12);
    EXPECT_EQ(HexagonFontPointSize(2), 1) << "a tiny control still gets a usable font";
}

TEST(HexagonGeometry, NameNumberIsTheDigitsAfterThePrefix) {
    const struct {
        const char* name;
        int number;
    } cases[] = {{"Hexagon311", 311}, {"Hexagon1", 1},           {"Hexagon27", 27},
                 {"Hexagon", 0},      {"Hexagon12a", 0},         {"Bar5", 0},
                 {"hexagon311", 0},   {"Hexagon99999999999", 0}, {"Hexagon-5", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(HexagonNameNumber(QString::fromLatin1(c.name)), c.number) << c.name;
}

TEST(HexagonGeometry, PositionsOnA280By540Board) {
    const struct {
        bool stack;
        int number;
        QPoint leftTop;
    } cases[] = {
        {true, 1, {0, 201}},   // lowest of the first four-column
        {true, 4, {0, 42}},    // highest of it
        {true, 5, {37, 228}},  // lowest of the first five-column
        {true, 9, {37, 16}},   // highest of it
        {true, 10, {75, 201}}, // second group
        {true, 27, {187, 16}}, // last place
        {false, 311, {334, 16}},  {false, 113, {248, 69}},  {false, 212, {291, 42}},
        {false, 355, {334, 228}}, {false, 553, {420, 175}},
    };
    for (const auto& c : cases) {
        const QPoint p =
            c.stack ? StackPosition(280, 540, c.number) : BoardPosition(280, 540, c.number);
        EXPECT_EQ(p, c.leftTop) << (c.stack ? "stack " : "cell ") << c.number;
    }
}

TEST(HexagonGeometry, HexResizePlacesTilesInTheStockAndCellsOnTheBoard) {
    QWidget board;
    tHexagon tile(&board);
    tile.setObjectName("Hexagon1");
    tile.SetStyle(hxHidden);
    tHexagon cell(&board);
    cell.setObjectName("Hexagon311");
    tile.HexResize(280, 540);
    cell.HexResize(280, 540);
    EXPECT_EQ(tile.geometry(), QRect(0, 201, 45, 40));
    EXPECT_EQ(cell.geometry(), QRect(334, 16, 45, 40));
}

TEST(HexagonGeometry, VisibleTileOnACellKeepsTheCellPositionThroughResizes) {
    QWidget board;
    tHexagon tile(&board);
    tile.setObjectName("Hexagon7");
    tHexagon cell(&board);
    cell.setObjectName("Hexagon333");
    cell.Occupy(&tile);
    tile.Occupy(&cell);
    for (const thxStyle style : {hxVisible, hxHighlight}) {
        tile.SetStyle(style);
        for (const QSize board :
             {QSize(540, 280), QSize(573, 297), QSize(1000, 518), QSize(60, 31)}) {
            cell.HexResize(board.height(), board.width());
            tile.HexResize(board.height(), board.width());
            EXPECT_EQ(tile.geometry(), cell.geometry()) << board.width() << "x" << board.height();
        }
    }
    tile.FreeOccupation();
    tile.HexResize(280, 540);
    EXPECT_EQ(tile.pos(), StackPosition(280, 540, 7)) << "a freed tile returns to its place";
}

TEST(HexagonGeometry, DemonstrationCellShowingATileStaysOnTheBoard) {
    tHexagon cell;
    cell.setObjectName("Hexagon322");
    cell.Init(5, hxHighlight);
    cell.HexResize(280, 540);
    EXPECT_EQ(cell.pos(), BoardPosition(280, 540, 322));
}

TEST(HexagonModel, LayAtMovesAndBringsToFront) {
    QWidget board;
    board.resize(200, 200);
    tHexagon tile(&board);
    tHexagon cell(&board);
    tile.setGeometry(0, 0, 49, 49);
    cell.setGeometry(100, 60, 49, 49);
    tile.LayAt(60, 100);
    EXPECT_EQ(tile.pos(), QPoint(100, 60));
    EXPECT_EQ(board.childAt(120, 80), &tile);
}

TEST(HexagonModel, OccupationOfADestroyedPartnerReadsAsNone) {
    tHexagon cell;
    auto tile = std::make_unique<tHexagon>();
    EXPECT_EQ(cell.GetOccupation(), nullptr);
    cell.Occupy(tile.get());
    EXPECT_EQ(cell.GetOccupation(), tile.get());
    tile.reset();
    EXPECT_EQ(cell.GetOccupation(), nullptr);
}

TEST(HexagonModel, OutOfRangeStyleAndNumberAreRefused) {
    tHexagon hex;
    hex.Init(13, hxVisible);
    hex.SetNummer(27);
    hex.SetStyle(static_cast<thxStyle>(4));
    hex.Init(200, static_cast<thxStyle>(9));
    hex.Init(27, hxVisible); // one past the last tile
    EXPECT_EQ(hex.Nummer(), 13);
    EXPECT_EQ(hex.Style(), hxVisible);
    EXPECT_EQ(hex.GetLine(0), 5);
    EXPECT_EQ(hex.GetLine(1), 6);
    EXPECT_EQ(hex.GetLine(2), 4);
}

TEST(HexagonModel, NewControlTakesTheSharedColours) {
    const tColorSet saved = SharedColors();
    SharedColors().LineColors[4] = MakeColor(1, 2, 3);
    tHexagon created;
    SharedColors() = saved;
    EXPECT_EQ(created.Colors().LineColors[4], MakeColor(1, 2, 3));
    EXPECT_EQ(tHexagon().Colors(), saved);
}

TEST(HexagonColors, ValuesResolveToPlainColoursOrPaletteRoles) {
    QPalette palette;
    const QPalette::ColorRole roles[] = {QPalette::Button,     QPalette::Dark, QPalette::Light,
                                         QPalette::WindowText, QPalette::Base, QPalette::Highlight};
    int shade = 10;
    for (const auto role : roles) {
        palette.setColor(QPalette::Active, role, QColor(shade, 255 - shade, shade / 2));
        shade += 30;
    }
    const struct {
        tColor value;
        QColor expected;
    } cases[] = {
        {0x000000FF, QColor(255, 0, 0)},
        {0x00FF8000, QColor(0, 128, 255)},
        {0x00000000, QColor(0, 0, 0)},
        {0x8000000F, palette.color(QPalette::Active, QPalette::Button)},
        {0x80000010, palette.color(QPalette::Active, QPalette::Dark)},
        {0x80000014, palette.color(QPalette::Active, QPalette::Light)},
        {0x80000008, palette.color(QPalette::Active, QPalette::WindowText)},
        {0x80000005, palette.color(QPalette::Active, QPalette::Base)},
        {0x8000000D, palette.color(QPalette::Active, QPalette::Highlight)},
        {0x800000FE, palette.color(QPalette::Active, QPalette::Button)}, // unknown index
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToQColor(c.value, palette), c.expected) << std::hex << c.value;
}

TEST(HexagonPaint, VisibleAndHighlightedTilesShowStripesInTheirValueColours) {
    const tColorSet colors = TestColors();
    for (const QSize size : {QSize(49, 49), QSize(98, 98), QSize(45, 40)}) {
        for (const thxNummer n : {thxNummer(0), thxNummer(13), thxNummer(26)}) {
            for (const thxStyle style : {hxVisible, hxHighlight}) {
                auto hex = Tile("Hexagon5", n, style, size.width(), size.height());
                const QImage image = Render(*hex);
                const int w = size.width(), h = size.height();
                for (int d = 0; d < 3; ++d) {
                    const QPoint p = StripeSample(d, w, h);
                    EXPECT_EQ(Pixel(image, p.x(), p.y()),
                              Qc(colors.LineColors[StripeValue(n, static_cast<std::uint8_t>(d))]))
                        << "tile " << int(n) << " direction " << d << " size " << w << "x" << h;
                }
                const QColor body =
                    Qc(style == hxHighlight ? colors.LightColor : colors.BackgroundColor);
                EXPECT_EQ(Pixel(image, w * 67 / 100, h / 10), body) << "style " << int(style);
                EXPECT_EQ(Pixel(image, w * 33 / 100, h * 88 / 100), body) << "style " << int(style);
            }
        }
    }
}

namespace {

// The stripes of a tile, worked out by hand from the stripe table for two
// sizes: the quadrilateral corners, the two long white edges and the anchor
// the value is centred on.
struct tStripeSpec {
    std::array<QPoint, 4> corners;
    std::array<std::array<QPoint, 2>, 2> edges;
    QPoint anchor;
};
struct tStripeCase {
    int w, h;
    std::array<tStripeSpec, 3> stripes;
};
tStripeSpec Stripe(std::array<int, 8> c, std::array<int, 8> e, int ax, int ay) {
    return {{QPoint(c[0], c[1]), QPoint(c[2], c[3]), QPoint(c[4], c[5]), QPoint(c[6], c[7])},
            {{{QPoint(e[0], e[1]), QPoint(e[2], e[3])}, {QPoint(e[4], e[5]), QPoint(e[6], e[7])}}},
            QPoint(ax, ay)};
}
// Corners, then the two white edges, then the anchor, for directions 0, 1, 2.
const tStripeCase kStripeCases[] = {
    {128,
     128,
     {Stripe({56, 3, 72, 3, 72, 124, 56, 124}, {56, 3, 56, 124, 72, 3, 72, 124}, 64, 32),
      Stripe({20, 86, 100, 30, 108, 42, 28, 98}, {20, 86, 100, 30, 28, 98, 108, 42}, 40, 80),
      Stripe({28, 30, 108, 86, 100, 98, 20, 42}, {28, 30, 108, 86, 20, 42, 100, 98}, 88, 80)}},
    {96,
     64,
     {Stripe({42, 3, 54, 3, 54, 60, 42, 60}, {42, 3, 42, 60, 54, 3, 54, 60}, 48, 16),
      Stripe({15, 43, 75, 15, 81, 21, 21, 49}, {15, 43, 75, 15, 21, 49, 81, 21}, 30, 40),
      Stripe({21, 15, 81, 43, 75, 49, 15, 21}, {21, 15, 81, 43, 15, 21, 75, 49}, 66, 40)}},
};

// Signed distance of p from the convex polygon's boundary, positive inside.
double DepthInside(const QPoint* corners, int count, QPointF p) {
    double orientation = 0;
    for (int i = 0; i < count; ++i) {
        const QPointF a = corners[i], b = corners[(i + 1) % count];
        orientation += a.x() * b.y() - b.x() * a.y();
    }
    double depth = 1e9;
    for (int i = 0; i < count; ++i) {
        const QPointF a = corners[i], b = corners[(i + 1) % count];
        const QPointF e = b - a;
        double cross = e.x() * (p.y() - a.y()) - e.y() * (p.x() - a.x());
        if (orientation < 0)
            cross = -cross;
        depth = std::min(depth, cross / std::hypot(e.x(), e.y()));
    }
    return depth;
}

// The box the value of a stripe is written in: the text centred on the
// anchor, one pixel of white halo around it.
QRect ValueBox(const QFont& font, const QString& text, QPoint anchor) {
    const QFontMetrics fm(font);
    const int x = anchor.x() - fm.horizontalAdvance(text) / 2;
    const int y = anchor.y() - fm.height() / 2;
    return QRect(x - 1, y - 1, fm.horizontalAdvance(text) + 2, fm.height() + 2);
}

QFont ValueFont(const tHexagon& hex, int h) {
    QFont f = hex.font();
    f.setPointSize(h / 4);
    f.setBold(true);
    return f;
}

// Tile 26 carries 9, 7 and 8 in directions 0, 1 and 2: three values with
// glyphs that cannot be taken for one another.
constexpr thxNummer kTile26 = 26;
const char* const kTile26Values[3] = {"9", "7", "8"};
constexpr int kTile26Colors[3] = {9, 7, 8};

} // namespace

TEST(HexagonPaint, StripesCoverTheirQuadrilateralsAndDirectionTwoLiesOnTop) {
    // Dark colours, so that the white edges stand out even where a line
    // only partly covers a pixel.
    tColorSet colors = TestColors();
    colors.BackgroundColor = MakeColor(40, 40, 40);
    colors.LineColors[9] = MakeColor(0, 0, 110);
    colors.LineColors[7] = MakeColor(0, 110, 0);
    colors.LineColors[8] = MakeColor(110, 0, 0);
    for (const tStripeCase& c : kStripeCases) {
        auto hex = Tile("Hexagon5", kTile26, hxVisible, c.w, c.h);
        hex->NewColors(colors);
        const QImage image = Render(*hex);
        const QFont font = ValueFont(*hex, c.h);
        std::array<QRect, 3> boxes;
        for (int d = 0; d < 3; ++d)
            boxes[static_cast<std::size_t>(d)] =
                ValueBox(font, QString::fromLatin1(kTile26Values[d]),
                         c.stripes[static_cast<std::size_t>(d)].anchor)
                    .adjusted(-2, -2, 2, 2);
        const std::array<QPoint, 6> body = {
            QPoint(c.w - 2, c.h / 2),     QPoint(3 * c.w / 4 - 1, c.h - 2),
            QPoint(c.w / 4 + 1, c.h - 2), QPoint(1, c.h / 2),
            QPoint(c.w / 4 + 1, 1),       QPoint(3 * c.w / 4 - 1, 1)};
        std::array<int, 4> seen{}; // pixels checked per topmost stripe; [3] the bare body
        int crossings = 0;         // pixels inside both slanted stripes
        std::vector<std::string> wrong;
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                if (std::any_of(boxes.begin(), boxes.end(),
                                [&](const QRect& r) { return r.contains(x, y); }))
                    continue;
                // Clearly inside (1), clearly outside (-1) or on an edge (0).
                std::array<int, 3> where{};
                for (std::size_t d = 0; d < 3; ++d) {
                    const double depth = DepthInside(c.stripes[d].corners.data(), 4, QPointF(x, y));
                    where[d] = depth > 1.5 ? 1 : depth < -1.5 ? -1 : 0;
                }
                int top = -1;
                for (int d = 2; d >= 0 && top < 0; --d) {
                    if (where[static_cast<std::size_t>(d)] == 0)
                        break; // a higher stripe's edge passes here
                    if (where[static_cast<std::size_t>(d)] == 1)
                        top = d;
                }
                QColor expected;
                if (top >= 0) {
                    expected = Qc(colors.LineColors[static_cast<std::size_t>(kTile26Colors[top])]);
                    crossings += top == 2 && where[1] == 1;
                } else if (where == std::array<int, 3>{-1, -1, -1} &&
                           DepthInside(body.data(), 6, QPointF(x + 0.5, y + 0.5)) > 2.5) {
                    expected = Qc(colors.BackgroundColor);
                    top = 3;
                } else {
                    continue;
                }
                ++seen[static_cast<std::size_t>(top)];
                if (Pixel(image, x, y) != expected && wrong.size() < 5)
                    wrong.push_back("(" + std::to_string(x) + "," + std::to_string(y) + ") " +
                                    Pixel(image, x, y).name().toStdString() + " instead of " +
                                    expected.name().toStdString());
            }
        EXPECT_TRUE(wrong.empty()) << c.w << "x" << c.h << ": " << wrong.front();
        for (int i = 0; i < 4; ++i)
            EXPECT_GT(seen[static_cast<std::size_t>(i)], 40) << c.w << "x" << c.h << " part " << i;
        EXPECT_GT(crossings, 20) << c.w << "x" << c.h;

        // The long edges are white lines, wherever no later stripe or value
        // covers them: on these dark colours some pixel next to every point
        // of an edge is far lighter than anything else around.
        for (std::size_t d = 0; d < 3; ++d) {
            for (const auto& edge : c.stripes[d].edges) {
                const QPointF from = edge[0], to = edge[1];
                const int n = static_cast<int>(std::max(std::abs(to.x() - from.x()),
                                                        std::abs(to.y() - from.y()))) /
                              2;
                int checked = 0;
                for (int k = 1; k < n; ++k) {
                    const QPoint p = (from + (to - from) * k / n).toPoint();
                    bool covered = std::any_of(boxes.begin(), boxes.end(), [&](const QRect& r) {
                        return r.adjusted(-2, -2, 2, 2).contains(p);
                    });
                    for (std::size_t later = d + 1; later < 3; ++later)
                        covered = covered || DepthInside(c.stripes[later].corners.data(), 4,
                                                         QPointF(p)) > -2.5;
                    if (covered)
                        continue;
                    ++checked;
                    int lightest = 0;
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx) {
                            const QColor got = Pixel(image, p.x() + dx, p.y() + dy);
                            lightest = std::max(lightest, got.red() + got.green() + got.blue());
                        }
                    EXPECT_GT(lightest, 300) << c.w << "x" << c.h << " direction " << d << " at "
                                             << p.x() << "," << p.y();
                }
                EXPECT_GE(checked, 1) << c.w << "x" << c.h << " direction " << d;
            }
        }
    }
}

// Each value stands centred on its own anchor: the black glyph matches the
// digit drawn there, so values that swap places are noticed.
TEST(HexagonPaint, ValuesAreWrittenBlackOnWhiteCentredOnTheirAnchors) {
    for (const tStripeCase& c : kStripeCases) {
        auto hex = Tile("Hexagon5", kTile26, hxVisible, c.w, c.h);
        const QImage image = Render(*hex);
        const QFont font = ValueFont(*hex, c.h);
        const QFontMetrics fm(font);
        for (std::size_t d = 0; d < 3; ++d) {
            const QString text = QString::fromLatin1(kTile26Values[d]);
            const QPoint anchor = c.stripes[d].anchor;
            QImage reference(c.w, c.h, QImage::Format_RGB32);
            reference.fill(Qt::white);
            {
                QPainter p(&reference);
                p.setRenderHint(QPainter::Antialiasing);
                p.setFont(font);
                p.setPen(Qt::black);
                p.drawText(anchor.x() - fm.horizontalAdvance(text) / 2,
                           anchor.y() - fm.height() / 2 + fm.ascent(), text);
            }
            const QRect box =
                ValueBox(font, text, anchor).adjusted(-3, -3, 3, 3) & QRect(0, 0, c.w, c.h);
            int both = 0, either = 0, white = 0;
            for (int y = box.top(); y <= box.bottom(); ++y)
                for (int x = box.left(); x <= box.right(); ++x) {
                    const bool drawn = Pixel(reference, x, y).lightness() < 128;
                    const QColor got = Pixel(image, x, y);
                    const bool black = got.red() < 90 && got.green() < 90 && got.blue() < 90;
                    both += drawn && black;
                    either += drawn || black;
                    white += got == QColor(255, 255, 255);
                }
            ASSERT_GT(either, 0);
            EXPECT_GT(both * 10, either * 7)
                << c.w << "x" << c.h << " value " << text.toStdString() << " at " << anchor.x()
                << "," << anchor.y() << ": " << both << " of " << either;
            EXPECT_GT(white, 10) << c.w << "x" << c.h << " direction " << d;
        }
    }
}

TEST(HexagonPaint, HiddenAndEmptyShowNoStripes) {
    const tColorSet colors = TestColors();
    for (const thxStyle style : {hxHidden, hxEmpty}) {
        auto hex = Tile("Hexagon5", 13, style, 49, 49);
        const QImage image = Render(*hex);
        int foreign = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = Pixel(image, x, y);
                for (int v = 1; v <= 9; ++v)
                    foreign += c == Qc(colors.LineColors[static_cast<std::size_t>(v)]);
                foreign += c == QColor(0, 0, 0);
            }
        EXPECT_EQ(foreign, 0) << "style " << int(style);
        EXPECT_EQ(Pixel(image, 24, 30), Qc(colors.BackgroundColor)) << "style " << int(style);
    }
}

TEST(HexagonPaint, EmptyCellLooksSunkenAndTileRaised) {
    const tColorSet colors = TestColors();
    const QColor light = Qc(colors.LightColor), shadow = Qc(colors.ShadowColor);
    for (const thxStyle style : {hxEmpty, hxHidden, hxVisible}) {
        auto hex = Tile("Hexagon5", 0, style, 49, 49);
        const QImage image = Render(*hex);
        const bool sunken = style == hxEmpty;
        const QColor upperLeft = sunken ? shadow : light;
        const QColor lowerRight = sunken ? light : shadow;
        // The horizontal edges cover two whole pixel rows.
        EXPECT_EQ(Pixel(image, 18, 0), upperLeft) << "top edge, style " << int(style);
        EXPECT_EQ(Pixel(image, 18, 1), upperLeft) << "top edge, style " << int(style);
        EXPECT_EQ(Pixel(image, 18, 46), lowerRight) << "bottom edge, style " << int(style);
        EXPECT_EQ(Pixel(image, 18, 47), lowerRight) << "bottom edge, style " << int(style);
        // Slanted edges, sampled at their middle.
        const QColor ul = Pixel(image, 7, 12), lr = Pixel(image, 41, 35);
        EXPECT_LT(Distance(ul, upperLeft), Distance(ul, lowerRight)) << "style " << int(style);
        EXPECT_LT(Distance(lr, lowerRight), Distance(lr, upperLeft)) << "style " << int(style);
        EXPECT_EQ(Pixel(image, 0, 0), Pixel(image, 48, 48)) << "corners outside stay unpainted";
    }
}

namespace {

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

TEST(HexagonPaint, NewColorsWaitsForTheNextRepaintWhileSettersRepaint) {
    QWidget window;
    window.resize(100, 100);
    tHexagon hex(&window);
    hex.setGeometry(0, 0, 49, 49);
    hex.NewColors(TestColors());
    hex.Init(0, hxVisible);
    PaintCounter counter;
    hex.installEventFilter(&counter);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(20);

    counter.paints = 0;
    tColorSet changed = TestColors();
    changed.LineColors[1] = MakeColor(10, 20, 30);
    hex.NewColors(changed.LineColors, changed.BackgroundColor, changed.LightColor,
                  changed.ShadowColor);
    QTest::qWait(20);
    EXPECT_EQ(counter.paints, 0) << "new colours alone do not repaint";

    hex.SetNummer(9); // vertical stripe 1, as tile 0
    QTest::qWait(20);
    EXPECT_GT(counter.paints, 0) << "a new number repaints";
    const QImage image = Render(hex);
    const QPoint p = StripeSample(0, 49, 49);
    EXPECT_EQ(Pixel(image, p.x(), p.y()), QColor(10, 20, 30));
}

TEST(HexagonPaint, SystemColoursFollowTheDesktopPaletteAtTheNextPaint) {
    // Two controls of one look and size draw the same picture; a new palette
    // must not leave either showing the old system colour.
    const QPalette saved = QGuiApplication::palette();
    tColorSet colors = TestColors();
    colors.BackgroundColor = 0x8000000F; // button face
    auto first = Tile("Hexagon1", 0, hxEmpty, 49, 49);
    auto second = Tile("Hexagon2", 0, hxEmpty, 49, 49);
    first->NewColors(colors);
    second->NewColors(colors);
    QPalette palette = saved;
    palette.setColor(QPalette::Button, QColor(10, 200, 30));
    QApplication::setPalette(palette);
    EXPECT_EQ(Pixel(Render(*first), 24, 24), QColor(10, 200, 30));
    palette.setColor(QPalette::Button, QColor(200, 10, 130));
    QApplication::setPalette(palette);
    EXPECT_EQ(Pixel(Render(*second), 24, 24), QColor(200, 10, 130));
    EXPECT_EQ(Pixel(Render(*first), 24, 24), QColor(200, 10, 130));
    QApplication::setPalette(saved);
}

TEST(HexagonMouse, LeftPressAndReleaseOnTheControlIsAClick) {
    qRegisterMetaType<QMouseEvent*>();
    QWidget window;
    window.resize(200, 100);
    tHexagon hex(&window);
    hex.setGeometry(10, 10, 49, 49);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QSignalSpy clicked(&hex, &tHexagon::clicked);
    QSignalSpy pressed(&hex, &tHexagon::mousePressed);
    QSignalSpy released(&hex, &tHexagon::mouseReleased);

    QTest::mouseClick(&hex, Qt::LeftButton, {}, QPoint(24, 24));
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).value<tHexagon*>(), &hex);
    EXPECT_EQ(pressed.count(), 1);
    EXPECT_EQ(released.count(), 1);

    QTest::mouseClick(&hex, Qt::RightButton, {}, QPoint(24, 24));
    EXPECT_EQ(clicked.count(), 1) << "the right button does not click";
    EXPECT_EQ(pressed.count(), 2);

    QTest::mousePress(&hex, Qt::LeftButton, {}, QPoint(24, 24));
    QTest::mouseRelease(&hex, Qt::LeftButton, {}, QPoint(120, 24));
    EXPECT_EQ(clicked.count(), 1) << "releasing elsewhere is no click";
    EXPECT_EQ(released.count(), 3);
}
