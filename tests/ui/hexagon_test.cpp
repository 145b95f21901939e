// Widget tests of the hexagon control: geometry, rendering per style, colours, mouse.
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

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

TEST(HexagonPaint, ValuesAreWrittenBlackOnWhiteAtTheirAnchors) {
    auto hex = Tile("Hexagon5", 26, hxVisible, 98, 98);
    const QImage image = Render(*hex);
    for (int d = 0; d < 3; ++d) {
        const QPoint anchor = StripeGeometry(d, 98, 98).anchor;
        int black = 0, white = 0;
        for (int y = anchor.y() - 12; y <= anchor.y() + 12; ++y)
            for (int x = anchor.x() - 10; x <= anchor.x() + 10; ++x) {
                const QColor c = Pixel(image, x, y);
                black += c == QColor(0, 0, 0);
                white += c == QColor(255, 255, 255);
            }
        EXPECT_GT(black, 10) << "direction " << d;
        EXPECT_GT(white, 10) << "direction " << d;
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
