// Widget tests of the high-score window.
#include "platform/language.h"
#include "platform/settings_file.h"
#include "shot_path.h"
#include "table/score_form.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ScoreFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        SetSettingsFileName(dir_.filePath(QStringLiteral("vessrin.ini")).toStdString());
        SetLanguage(0x0407);
    }
    static QString Field(TScoreForm& form, const QString& name) {
        return form.findChild<QLineEdit*>(name)->text();
    }
    QTemporaryDir dir_;
};

TEST_F(ScoreFormTest, ShowsEverySlotAndZeroForEmptyOnes) {
    tHighScore list{};
    AddHighScore(list, "Anna", 307);
    AddHighScore(list, "Bo", 12);
    TScoreForm form;
    form.SetScores(list);
    EXPECT_EQ(Field(form, "Name1"), QStringLiteral("Anna"));
    EXPECT_EQ(Field(form, "Punkte1"), QStringLiteral("307"));
    EXPECT_EQ(Field(form, "Name2"), QStringLiteral("Bo"));
    EXPECT_EQ(Field(form, "Punkte2"), QStringLiteral("12"));
    for (int n = 3; n <= 5; ++n) {
        EXPECT_EQ(Field(form, QStringLiteral("Name%1").arg(n)), QString());
        EXPECT_EQ(Field(form, QStringLiteral("Punkte%1").arg(n)), QStringLiteral("0"));
    }
    // A later, shorter list must not leave old rows behind.
    form.SetScores(tHighScore{});
    EXPECT_EQ(Field(form, "Name1"), QString());
    EXPECT_EQ(Field(form, "Punkte1"), QStringLiteral("0"));
}

TEST_F(ScoreFormTest, FieldsAreReadOnlyAndOkComesFirst) {
    TScoreForm form;
    form.show();
    EXPECT_EQ(form.size(), QSize(207, 171));
    auto* ok = form.findChild<QPushButton*>(QStringLiteral("Button"));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(form.focusWidget(), ok);
    QWidget* next = ok->nextInFocusChain();
    while (!(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    EXPECT_EQ(next, form.findChild<QLineEdit*>(QStringLiteral("Name1")));
    for (QLineEdit* field : form.findChildren<QLineEdit*>())
        EXPECT_TRUE(field->isReadOnly()) << field->objectName().toStdString();
    QTest::keyClick(ok, Qt::Key_Return);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST_F(ScoreFormTest, ClosingSavesThePlacementWithoutSize) {
    TScoreForm form;
    form.show();
    form.move(40, 50);
    form.accept();
    EXPECT_EQ(ReadProfileInt("ScoreForm", "Left", -1), 40);
    EXPECT_EQ(ReadProfileInt("ScoreForm", "Top", -1), 50);
    EXPECT_EQ(ReadProfileInt("ScoreForm", "Width", -1), -1);
    TScoreForm next;
    EXPECT_EQ(next.pos(), QPoint(40, 50));
}

TEST_F(ScoreFormTest, TextsOfBothLanguagesFit) {
    for (const auto& [id, path] : {std::pair{0x0407u, ShotPath("scoreform_de.png")},
                                   std::pair{0x0409u, ShotPath("scoreform_en.png")}}) {
        SetLanguage(id);
        TScoreForm form;
        tHighScore list{};
        AddHighScore(list, "Annabella Meyerhof", 307);
        AddHighScore(list, "PC", 251);
        AddHighScore(list, "Bo", 98);
        form.SetScores(list);
        form.show();
        EXPECT_EQ(form.windowTitle(), id == 0x0407u ? QStringLiteral("Vessrin Bestenliste")
                                                    : QStringLiteral("Orvanel high score"));
        auto* punkte = form.findChild<QLabel*>(QStringLiteral("Punkte"));
        EXPECT_LE(punkte->x() + punkte->width(), form.width()) << path;
        auto* points = form.findChild<QLineEdit*>(QStringLiteral("Punkte1"));
        EXPECT_LE(points->fontMetrics().horizontalAdvance(QStringLiteral("307")) + 6,
                  points->width());
        EXPECT_TRUE(form.grab().save(QString::fromLatin1(path)));
    }
}

} // namespace
