// Widget tests of the colour bar: colour by name and the painted bevel states.
#include "game/bar.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

TEST(BarColor, NameWithoutBarPrefixChoosesTheEntry) {
    tColorSet set;
    for (std::size_t n = 1; n <= 9; ++n)
        set.LineColors[n] = static_cast<tColor>(n);
    set.BackgroundColor = 100;
    set.ShadowColor = 200;
    set.LightColor = 300;
    const std::pair<const char*, tColor> cases[] = {
        {"Bar1", 1},
        {"Bar5", 5},
        {"Bar9", 9},
        {"BarBackground1", 100},
        {"BarBackground2", 100},
        {"BarShadow", 200},
        {"BarLight1", 300},
        {"BarLight2", 300},
        // Not ours: the background, never a stray line colour.
        {"Bar0", 100},
        {"Bar10", 100},
        {"Bar", 100},
        {"Hexagon5", 100},
    };
    for (const auto& [name, color] : cases)
        EXPECT_EQ(BarColor(QString::fromLatin1(name), set), color) << name;
    EXPECT_TRUE(IsNumberedBar(QStringLiteral("Bar7")));
    EXPECT_FALSE(IsNumberedBar(QStringLiteral("BarLight1")));
    EXPECT_FALSE(IsNumberedBar(QStringLiteral("Bar10")));
}

class BarPaintTest : public ::testing::Test {
protected:
    static constexpr QRgb kFill = qRgb(0, 128, 0);
    static constexpr QRgb kLight = qRgb(250, 240, 230);
    static constexpr QRgb kShadow = qRgb(20, 30, 40);
    static constexpr QRgb kBack = qRgb(100, 110, 120);

    void SetUp() override {
        tColorSet set = DefaultColorSet();
        set.LineColors[5] = MakeColor(0, 128, 0);
        set.LightColor = MakeColor(250, 240, 230);
        set.ShadowColor = MakeColor(20, 30, 40);
        set.BackgroundColor = MakeColor(100, 110, 120);
        for (tBar* bar : {&numbered_, &named_}) {
            bar->NewColors(set);
            bar->resize(33, 9);
        }
        numbered_.setObjectName(QStringLiteral("Bar5"));
        named_.setObjectName(QStringLiteral("BarBackground1"));
    }
    static QImage Render(tBar& bar) { return bar.grab().toImage(); }

    tBar numbered_;
    tBar named_;
};

TEST_F(BarPaintTest, FlatNumberedBarIsOnlyItsColourAndNamedBarHasABlackFrame) {
    const QImage n = Render(numbered_);
    for (const QPoint p : {QPoint(0, 0), QPoint(32, 8), QPoint(16, 4), QPoint(0, 8)})
        EXPECT_EQ(n.pixel(p), kFill) << p.x() << "," << p.y();
    const QImage b = Render(named_);
    for (const QPoint p : {QPoint(0, 0), QPoint(32, 8), QPoint(16, 0), QPoint(0, 4), QPoint(32, 4)})
        EXPECT_EQ(b.pixel(p), qRgb(0, 0, 0)) << p.x() << "," << p.y();
    EXPECT_EQ(b.pixel(16, 4), kBack);
}

TEST_F(BarPaintTest, RaisedLightsTopLeftAndSunkenTheBottomRight) {
    numbered_.HiLight();
    EXPECT_EQ(numbered_.Bevel(), tBar::bvRaised);
    QImage img = Render(numbered_);
    EXPECT_EQ(img.pixel(0, 0), kLight);
    EXPECT_EQ(img.pixel(0, 4), kLight);
    EXPECT_EQ(img.pixel(16, 0), kLight);
    EXPECT_EQ(img.pixel(32, 4), kShadow);
    EXPECT_EQ(img.pixel(16, 8), kShadow);
    EXPECT_EQ(img.pixel(0, 8), kShadow); // the bottom edge runs back to the corner
    EXPECT_EQ(img.pixel(16, 4), kFill);

    numbered_.Down();
    EXPECT_EQ(numbered_.Bevel(), tBar::bvSunken);
    img = Render(numbered_);
    EXPECT_EQ(img.pixel(0, 4), kShadow);
    EXPECT_EQ(img.pixel(16, 0), kShadow);
    EXPECT_EQ(img.pixel(32, 4), kLight);
    EXPECT_EQ(img.pixel(16, 8), kLight);
    EXPECT_EQ(img.pixel(16, 4), kFill);
}

TEST_F(BarPaintTest, UpReportsAPressAndShowsTheBarRaised) {
    EXPECT_FALSE(numbered_.Up());
    EXPECT_EQ(numbered_.Bevel(), tBar::bvRaised);
    numbered_.Down();
    EXPECT_TRUE(numbered_.Up());
    EXPECT_EQ(numbered_.Bevel(), tBar::bvRaised);
    EXPECT_EQ(Render(numbered_).pixel(0, 4), kLight);
    // Raising a sunken bar does nothing: it stays pressed.
    numbered_.Down();
    numbered_.HiLight();
    EXPECT_EQ(numbered_.Bevel(), tBar::bvSunken);
}

TEST_F(BarPaintTest, MarkSparesTheBarFromUnLightUntilHiLightClearsIt) {
    named_.HiLight();
    named_.Mark();
    named_.UnLight();
    EXPECT_EQ(named_.Bevel(), tBar::bvRaised);
    named_.HiLight();
    EXPECT_FALSE(named_.Marked());
    named_.UnLight();
    EXPECT_EQ(named_.Bevel(), tBar::bvFlat);
    const QImage img = Render(named_);
    EXPECT_EQ(img.pixel(0, 4), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(32, 4), qRgb(0, 0, 0));
}

} // namespace
