// Widget tests of the optimal solutions window: first board, spin field, colours, placement, texts.
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <set>

#include "core/optimal_boards.h"
#include "game/hexagon.h"
#include "platform/language.h"
#include "platform/settings_file.h"
#include "shot_path.h"
#include "table/optimum_form.h"

namespace {

class OptimumFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        SetSettingsFileName(dir_.filePath(QStringLiteral("vessrin.ini")).toStdString());
        SetLanguage(0x0407);
        saved_ = SharedColors();
    }
    void TearDown() override { SharedColors() = saved_; }

    // The board the cells show; a cell that is not face up fails the test.
    static tBoard Shown(const TOptimumForm& form) {
        tBoard board;
        for (std::uint16_t code : kCellCodes) {
            EXPECT_EQ(form.Cell(code)->Style(), hxVisible) << code;
            board.Lay(code, form.Cell(code)->Nummer());
        }
        return board;
    }
    static void Type(TOptimumForm& form, const QString& text) {
        auto* edit = form.SpinEdit()->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }

    QTemporaryDir dir_;
    tColorSet saved_;
};

TEST_F(OptimumFormTest, OpensOnSolutionOneAndStepsThroughSixteenBoardsOf307Points) {
    TOptimumForm form;
    EXPECT_EQ(form.Solution(), 1);
    EXPECT_EQ(Shown(form).tiles, OptimalAsBoard(1).tiles) << "before the spin field is touched";
    EXPECT_EQ(form.Cell(212)->geometry(), QRect(56, 40, 49, 49));
    EXPECT_EQ(form.Cell(333)->geometry(), QRect(104, 136, 49, 49));
    EXPECT_EQ(form.size(), QSize(263, 320));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    std::set<std::array<std::int8_t, kCellCount>> seen;
    for (int s = 1; s <= 16; ++s) {
        form.SpinEdit()->setValue(s);
        const tBoard shown = Shown(form);
        EXPECT_EQ(shown.tiles, OptimalAsBoard(s).tiles) << "solution " << s;
        EXPECT_EQ(std::set<int>(shown.tiles.begin(), shown.tiles.end()).size(), 19u);
        EXPECT_EQ(EvaluateBoard(shown, kModeDemoPoints), 307) << "solution " << s;
        seen.insert(shown.tiles);
    }
    EXPECT_EQ(seen.size(), 16u);
}

TEST_F(OptimumFormTest, TypedTextClampsToTheRangeAndNonNumbersSelectOne) {
    const struct {
        const char* typed;
        int expected;
    } cases[] = {{"0", 1}, {"17", 16}, {"x", 1}, {"12", 12}, {"-3", 1}, {"999", 16}, {"", 1}};
    for (const auto& c : cases) {
        TOptimumForm form;
        form.SpinEdit()->setValue(5);
        // The board follows the keys at once, before Return or leaving the field.
        Type(form, QString::fromLatin1(c.typed));
        EXPECT_EQ(form.Solution(), c.expected) << '"' << c.typed << '"';
        EXPECT_EQ(Shown(form).tiles, OptimalAsBoard(c.expected).tiles) << '"' << c.typed << '"';
        QTest::keyClick(form.SpinEdit()->findChild<QLineEdit*>(), Qt::Key_Return);
        EXPECT_EQ(form.Solution(), c.expected) << '"' << c.typed << '"';
        EXPECT_EQ(form.SpinEdit()->text(), QString::number(c.expected)) << '"' << c.typed << '"';
    }
    // Each keystroke of "17" counts: "1" shows solution 1, "17" solution 16.
    TOptimumForm form;
    form.SpinEdit()->setValue(5);
    Type(form, QStringLiteral("1"));
    EXPECT_EQ(Shown(form).tiles, OptimalAsBoard(1).tiles);
    QTest::keyClicks(form.SpinEdit()->findChild<QLineEdit*>(), QStringLiteral("7"));
    EXPECT_EQ(Shown(form).tiles, OptimalAsBoard(16).tiles);
}

TEST_F(OptimumFormTest, EachShowingTakesTheCurrentColoursAndKeepsTheSolution) {
    TOptimumForm form;
    form.SpinEdit()->setValue(9);
    form.show();
    form.hide();
    tColorSet changed = SharedColors();
    changed.BackgroundColor = MakeColor(10, 20, 200);
    changed.LineColors[6] = MakeColor(1, 2, 3);
    SharedColors() = changed;
    EXPECT_FALSE(form.Cell(113)->Colors() == changed) << "colours change only at a showing";
    form.show();
    for (std::uint16_t code : kCellCodes)
        EXPECT_EQ(form.Cell(code)->Colors(), changed) << code;
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(10, 20, 200));
    EXPECT_EQ(Shown(form).tiles, OptimalAsBoard(9).tiles);
}

TEST_F(OptimumFormTest, ClosingSavesThePlacementThatTheNextWindowRestores) {
    {
        TOptimumForm form;
        form.move(123, 77);
        form.done(QDialog::Accepted);
    }
    EXPECT_EQ(ReadProfileInt("OptimumForm", "Left", -1), 123);
    EXPECT_EQ(ReadProfileInt("OptimumForm", "Top", -1), 77);
    EXPECT_EQ(ReadProfileString("OptimumForm", "Width", "none"), "none");
    TOptimumForm again;
    EXPECT_EQ(again.pos(), QPoint(123, 77));
}

TEST_F(OptimumFormTest, TextsInBothLanguagesFitTheWindow) {
    const struct {
        std::uint32_t language;
        const char* caption;
        const char* points;
        const char* path;
    } cases[] = {{0x0407, "Vessrin Optimum", "307 Punkte", ShotPath("optimumform_de.png")},
                 {0x0409, "Orvanel optimum", "307 points", ShotPath("optimumform_en.png")}};
    for (const auto& c : cases) {
        SetLanguage(c.language);
        TOptimumForm form;
        form.SpinEdit()->setValue(16);
        form.show();
        EXPECT_EQ(form.windowTitle(), QString::fromLatin1(c.caption));
        auto* punkte = form.findChild<QLabel*>(QStringLiteral("Punkte"));
        EXPECT_EQ(punkte->text(), QString::fromLatin1(c.points));
        EXPECT_LE(punkte->geometry().right(), form.width() - 4) << c.path;
        EXPECT_LT(punkte->geometry().bottom(), form.Cell(421)->y()) << c.path;
        auto* edit = form.SpinEdit()->findChild<QLineEdit*>();
        EXPECT_GE(edit->width(), edit->fontMetrics().horizontalAdvance(QStringLiteral("16")) + 4);
        EXPECT_TRUE(form.grab().save(QString::fromLatin1(c.path)));
    }
}

} // namespace
