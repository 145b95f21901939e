// Tests of saving, restoring and clamping window placements (offscreen).
#include "platform/placement.h"
#include "platform/settings_file.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class Placement : public ::testing::Test {
protected:
    void SetUp() override {
        SetSettingsFileName(dir_.filePath("vessrin.ini").toStdString());
        const QSize s = QGuiApplication::primaryScreen()->availableGeometry().size();
        sw_ = s.width();
        sh_ = s.height();
        dialog_.setFixedSize(300, 200);
        window_.resize(400, 300);
        window_.move(20, 30);
    }
    void Write(const char* key, int value) { WriteProfileInt("Form", key, value); }
    std::int64_t Read(const char* key) { return ReadProfileInt("Form", key, -999); }

    QTemporaryDir dir_;
    int sw_ = 0;
    int sh_ = 0;
    QWidget dialog_;
    QWidget window_;
};

TEST_F(Placement, FarLeftKeepsTheRightEdge100PixelsInside) {
    Write("Left", -5000);
    Write("Top", 10);
    ASSERT_TRUE(RestorePlacement(&dialog_, "Form"));
    EXPECT_EQ(dialog_.x(), 100 - 300);
    EXPECT_EQ(dialog_.y(), 10);
}

TEST_F(Placement, TopClampsIntoTheScreen) {
    struct tCase {
        int Saved;
        int Expected;
    } cases[] = {{99999, sh_ - 100}, {-40, 0}, {50, 50}};
    for (const tCase& c : cases) {
        Write("Top", c.Saved);
        ASSERT_TRUE(RestorePlacement(&dialog_, "Form"));
        EXPECT_EQ(dialog_.y(), c.Expected) << c.Saved;
    }
}

TEST_F(Placement, HugeHandWrittenValuesClampWithoutOverflow) {
    WriteProfileString("Form", "Left", "0xFFFFFFFF");
    WriteProfileString("Form", "Top", "-2147483648");
    WriteProfileString("Form", "Width", "2147483647");
    WriteProfileString("Form", "Height", "0x7FFFFFFF");
    ASSERT_TRUE(RestorePlacement(&window_, "Form"));
    EXPECT_EQ(window_.pos(), QPoint(sw_ - 100, 0));
    EXPECT_LE(window_.width(), sw_);
    EXPECT_LE(window_.height(), sh_);
}

TEST_F(Placement, EmptyFileCentresOnTheScreen) {
    ASSERT_TRUE(RestorePlacement(&dialog_, "Form"));
    EXPECT_EQ(dialog_.pos(), QPoint((sw_ - 300) / 2, (sh_ - 200) / 2));
}

TEST_F(Placement, ChildWindowCentresInItsParent) {
    QWidget parent;
    parent.resize(500, 401);
    QWidget child(&parent);
    child.resize(100, 50);
    ASSERT_TRUE(RestorePlacement(&child, "Form"));
    EXPECT_EQ(child.pos(), QPoint(200, 175));
}

TEST_F(Placement, DialogNeverWritesStateOrSize) {
    dialog_.move(33, 44);
    ASSERT_TRUE(SavePlacement(&dialog_, "Form"));
    EXPECT_EQ(Read("Top"), 44);
    EXPECT_EQ(Read("Left"), 33);
    EXPECT_EQ(Read("WindowState"), -999);
    EXPECT_EQ(Read("Height"), -999);
    EXPECT_EQ(Read("Width"), -999);
}

TEST_F(Placement, DialogIgnoresHandWrittenStateAndSize) {
    Write("WindowState", 2);
    Write("Height", 50);
    Write("Width", 60);
    ASSERT_TRUE(RestorePlacement(&dialog_, "Form"));
    EXPECT_EQ(dialog_.size(), QSize(300, 200));
    EXPECT_EQ(WindowStateOf(&dialog_), 0);
}

TEST_F(Placement, ResizableWindowRoundTripsItsPlacement) {
    ASSERT_TRUE(SavePlacement(&window_, "Form"));
    QWidget again;
    again.resize(123, 45);
    ASSERT_TRUE(RestorePlacement(&again, "Form"));
    EXPECT_EQ(again.pos(), QPoint(20, 30));
    EXPECT_EQ(again.size(), QSize(400, 300));
    EXPECT_EQ(Read("WindowState"), 0);
}

TEST_F(Placement, MaximisedWindowWritesStateAndKeepsTheNormalPlacement) {
    ASSERT_TRUE(SavePlacement(&window_, "Form"));
    window_.move(5, 6);
    window_.resize(321, 222);
    window_.setWindowState(Qt::WindowMaximized);
    ASSERT_TRUE(SavePlacement(&window_, "Form"));
    EXPECT_EQ(Read("WindowState"), 2);
    EXPECT_EQ(Read("Top"), 30);
    EXPECT_EQ(Read("Left"), 20);
    EXPECT_EQ(Read("Height"), 300);
    EXPECT_EQ(Read("Width"), 400);

    QWidget next;
    ASSERT_TRUE(RestorePlacement(&next, "Form"));
    EXPECT_EQ(WindowStateOf(&next), 2);
}

TEST_F(Placement, StateOutsideTheKnownValuesIsIgnored) {
    window_.setWindowState(Qt::WindowMinimized);
    Write("WindowState", 7);
    ASSERT_TRUE(RestorePlacement(&window_, "Form"));
    EXPECT_EQ(WindowStateOf(&window_), 1);
}

TEST_F(Placement, RefusedSaveReportsFalse) {
    SetSettingsFileName(dir_.filePath("gone/vessrin.ini").toStdString());
    EXPECT_FALSE(SavePlacement(&window_, "Form"));
    EXPECT_EQ(window_.pos(), QPoint(20, 30));
}

TEST(FitChildPlacement, FitsIntoTheClientArea) {
    struct tCase {
        tChildPlacement Saved;
        tChildPlacement Fitted;
    } cases[] = {
        {{10, 20, 100, 200}, {10, 20, 100, 200}},
        {{0, 0, 900, 900}, {0, 0, 396, 600}},         // height keeps 4 pixels free
        {{350, 20, 100, 200}, {0, 20, 100, 200}},     // would reach below: back to the top
        {{10, 500, 100, 200}, {10, 0, 100, 200}},     // would reach past the right edge
        {{300, 400, 100, 200}, {300, 400, 100, 200}}, // touching the edges still fits
    };
    for (const tCase& c : cases) {
        const tChildPlacement p = FitChildPlacement(c.Saved, 400, 600);
        EXPECT_EQ(p.Top, c.Fitted.Top);
        EXPECT_EQ(p.Left, c.Fitted.Left);
        EXPECT_EQ(p.Height, c.Fitted.Height);
        EXPECT_EQ(p.Width, c.Fitted.Width);
    }
}

} // namespace
