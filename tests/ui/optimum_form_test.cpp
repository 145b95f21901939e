// Widget tests of the optimal solutions window: first board, spin field, colours, placement, texts.
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <set>

#include "core/optimal_boards.h"
#include "core/scoring.h"
#include "game/hexagon.h"
#include "game/pkte_label.h"
#include "game/qt_colors.h"
#include "platform/language.h"
#include "platform/settings_file.h"
#include "table/optimum_form.h"

namespace {

class OptimumFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        file_ = dir_.filePath(QStringLiteral("vessrin.ini")).toStdString();
        SetSettingsFileName(file_);
        SetLanguage(0x0407);
        saved_ = SharedColors();
    }
    void TearDown() override { SharedColors() = saved_; }

    // The tile each cell shows, or a failure when a cell is not face up.
    static std::array<int, kCellCount> Shown(const TOptimumForm& form) {
        std::array<int, kCellCount> tiles{};
        for (std::size_t i = 0; i < kCellCodes.size(); ++i) {
            const tHexagon* cell = form.Cell(kCellCodes[i]);
            EXPECT_EQ(cell->Style(), hxVisible) << kCellCodes[i];
            tiles[i] = cell->Nummer();
        }
        return tiles;
    }
    static std::array<int, kCellCount> Row(int solution) {
        std::array<int, kCellCount> tiles{};
        for (std::size_t i = 0; i < tiles.size(); ++i)
            tiles[i] = OptimalBoards[static_cast<std::size_t>(solution - 1)][i].Tile;
        return tiles;
    }
    // Points of the shown board, scored by the line labels as a board does.
    static int Points(const TOptimumForm& form) {
        tPkteLabel label;
        int total = 0;
        for (const tLine& line : kLines) {
            tHexagon* e[5] = {};
            for (int j = 0; j < line.length; ++j)
                e[j] = form.Cell(line.cells[static_cast<std::size_t>(j)]);
            total += label.Calculate(e[0], e[1], e[2], e[3], e[4], line.direction, kModeDemoPoints);
        }
        return total;
    }
    static void Type(TOptimumForm& form, const QString& text) {
        auto* edit = form.SpinEdit()->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    QTemporaryDir dir_;
    std::string file_;
    tColorSet saved_;
};

TEST_F(OptimumFormTest, OpensOnSolutionOneWithItsTextsAndFixedSize) {
    TOptimumForm form;
    EXPECT_EQ(form.Solution(), 1);
    EXPECT_EQ(form.SpinEdit()->value(), 1);
    EXPECT_EQ(form.SpinEdit()->minimum(), 1);
    EXPECT_EQ(form.SpinEdit()->maximum(), 16);
    EXPECT_EQ(Shown(form), Row(1));
    EXPECT_EQ(form.Cell(333)->geometry(), QRect(104, 136, 49, 49));
    EXPECT_EQ(form.Cell(212)->geometry(), QRect(56, 40, 49, 49));
    EXPECT_EQ(form.size(), QSize(263, 320));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Vessrin Optimum"));
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("Punkte"))->text(),
              QStringLiteral("307 Punkte"));

    SetLanguage(0x0409);
    TOptimumForm english;
    EXPECT_EQ(english.windowTitle(), QStringLiteral("Orvanel optimum"));
    EXPECT_EQ(english.findChild<QLabel*>(QStringLiteral("Punkte"))->text(),
              QStringLiteral("307 points"));
}

TEST_F(OptimumFormTest, SteppingThroughTheSpinFieldShowsSixteenBoardsOf307Points) {
    TOptimumForm form;
    std::set<std::array<int, kCellCount>> seen;
    for (int s = 1; s <= 16; ++s) {
        form.SpinEdit()->setValue(s);
        EXPECT_EQ(form.Solution(), s);
        const auto shown = Shown(form);
        EXPECT_EQ(shown, Row(s)) << "solution " << s;
        EXPECT_EQ(std::set<int>(shown.begin(), shown.end()).size(), 19u) << "solution " << s;
        EXPECT_EQ(Points(form), 307) << "solution " << s;
        seen.insert(shown);
    }
    EXPECT_EQ(seen.size(), 16u);
    form.SpinEdit()->stepUp();
    EXPECT_EQ(form.Solution(), 16);
    form.SpinEdit()->setValue(1);
    form.SpinEdit()->stepDown();
    EXPECT_EQ(form.Solution(), 1);
}

TEST_F(OptimumFormTest, TypedTextClampsToTheRangeAndNonNumbersSelectOne) {
    const struct {
        const char* typed;
        int expected;
    } cases[] = {{"0", 1}, {"17", 16}, {"x", 1}, {"12", 12}, {"-3", 1}, {"999", 16}, {"", 1}};
    for (const auto& c : cases) {
        TOptimumForm form;
        form.SpinEdit()->setValue(5);
        Type(form, QString::fromLatin1(c.typed));
        EXPECT_EQ(form.SpinEdit()->value(), c.expected) << '"' << c.typed << '"';
        EXPECT_EQ(form.Solution(), c.expected) << '"' << c.typed << '"';
        EXPECT_EQ(Shown(form), Row(c.expected)) << '"' << c.typed << '"';
        EXPECT_EQ(form.SpinEdit()->text(), QString::number(c.expected)) << '"' << c.typed << '"';
    }
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
    for (const tLine& line : kLines)
        for (int j = 0; j < line.length; ++j)
            EXPECT_EQ(form.Cell(line.cells[static_cast<std::size_t>(j)])->Colors(), changed);
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(10, 20, 200));
    EXPECT_EQ(form.Solution(), 9);
    EXPECT_EQ(Shown(form), Row(9));
    form.hide();
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

TEST_F(OptimumFormTest, TextsFitTheWindowInBothLanguages) {
    for (const auto& [id, path] : {std::pair{0x0407u, "/tmp/optimumform_de.png"},
                                   std::pair{0x0409u, "/tmp/optimumform_en.png"}}) {
        SetLanguage(id);
        TOptimumForm form;
        form.SpinEdit()->setValue(16);
        form.show();
        auto* punkte = form.findChild<QLabel*>(QStringLiteral("Punkte"));
        EXPECT_LE(punkte->geometry().right(), form.width() - 4) << path;
        EXPECT_LT(punkte->geometry().bottom(), form.Cell(421)->y()) << path;
        auto* edit = form.SpinEdit()->findChild<QLineEdit*>();
        EXPECT_GE(edit->width(), edit->fontMetrics().horizontalAdvance(QStringLiteral("16")) + 4)
            << path;
        EXPECT_TRUE(form.grab().save(QString::fromLatin1(path)));
        form.hide();
    }
}

} // namespace
