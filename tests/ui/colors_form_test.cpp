// Widget tests of the colours window: editing, the background rule, resets, Ok and the close box.
#include "settings/colors_form.h"

#include "game/bar.h"
#include "game/hexagon.h"
#include "game/qt_colors.h"
#include "platform/language.h"
#include "platform/settings_file.h"
#include "shot_path.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ColorsFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        SetSettingsFileName(dir_.filePath(QStringLiteral("vessrin.ini")).toStdString());
        SetLanguage(0x0407);
        saved_ = SharedColors();
        SharedColors() = DefaultColorSet();
        SetMessageBoxHook([this](const QString& text, const QString& caption, int flags) {
            messages_ << QStringLiteral("%1|%2|%3").arg(text, caption).arg(flags);
            return kIdOk;
        });
    }
    void TearDown() override {
        SetMessageBoxHook(nullptr);
        SharedColors() = saved_;
    }
    // A colour dialog that answers `answer`, or is cancelled when it is invalid.
    void Answer(TColorsForm& form, QColor answer) {
        form.SetColorDialogRunner([this, answer](const QColor& preset, QWidget*) {
            presets_.push_back(preset);
            for (int i = 0; i < 12; ++i)
                custom_[static_cast<std::size_t>(i)] = QColorDialog::customColor(i);
            return answer;
        });
    }
    static tBar* Bar(TColorsForm& form, const char* name) {
        return form.findChild<tBar*>(QString::fromLatin1(name));
    }
    static QPushButton* Button(TColorsForm& form, const char* name) {
        return form.findChild<QPushButton*>(QString::fromLatin1(name));
    }
    static std::string FileValue(const char* key) { return ReadProfileString("Colors", key, "-"); }

    QTemporaryDir dir_;
    tColorSet saved_;
    QStringList messages_;
    std::vector<QColor> presets_;
    std::array<QColor, 12> custom_;
};

TEST_F(ColorsFormTest, OkAppliesTheWorkingColoursAndWritesThem) {
    TColorsForm form;
    QSignalSpy applied(&form, &TColorsForm::colorsApplied);
    form.show();
    Answer(form, QColor(1, 2, 3));
    form.SelectEntry(5);
    QTest::mouseClick(Button(form, "FarbeButton"), Qt::LeftButton);
    EXPECT_EQ(form.WorkingColors().LineColors[6], MakeColor(1, 2, 3));
    // The preview follows at once; the colour set in use does not yet.
    EXPECT_EQ(form.findChild<tHexagon*>(QStringLiteral("Hexagon20"))->Colors().LineColors[6],
              MakeColor(1, 2, 3));
    EXPECT_EQ(Bar(form, "Bar6")->Colors().LineColors[6], MakeColor(1, 2, 3));
    EXPECT_EQ(SharedColors().LineColors[6], 0x0000FFu);

    QTest::mouseClick(Button(form, "OkButton"), Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(applied.count(), 1);
    EXPECT_EQ(SharedColors().LineColors[6], MakeColor(1, 2, 3));
    EXPECT_EQ(FileValue("Line6"), "0x030201");
    EXPECT_EQ(FileValue("Line1"), "0x808080");
    EXPECT_EQ(FileValue("Background"), "0x8000000F");
    EXPECT_EQ(FileValue("Shadow"), "0x80000010");
    EXPECT_EQ(FileValue("Light"), "0x80000014");
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(ColorsFormTest, CloseBoxWritesTheColoursButLeavesTheSetInUse) {
    SharedColors().LineColors[1] = 0x80000008; // a system colour read from the file
    TColorsForm form;
    QSignalSpy applied(&form, &TColorsForm::colorsApplied);
    form.show();
    Answer(form, QColor(255, 0, 0));
    form.SelectEntry(8);
    form.FarbeButtonClick();
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(applied.count(), 0);
    EXPECT_EQ(SharedColors().LineColors[9], 0x00FFFFu);
    EXPECT_EQ(FileValue("Line9"), "0x0000FF");
    // The six-digit key keeps the system colour's high byte.
    EXPECT_EQ(FileValue("Line1"), "0x80000008");
    EXPECT_EQ(ReadProfileInt("ColorsForm", "Left", -1), form.x());

    // The next showing starts again from the set in use.
    form.show();
    EXPECT_EQ(form.WorkingColors(), SharedColors());
}

TEST_F(ColorsFormTest, BackgroundDerivesLightAndShadowEvenWhenCancelled) {
    TColorsForm form;
    form.show();
    Answer(form, QColor(0, 0, 255));
    form.SelectEntry(9);
    form.FarbeButtonClick();
    EXPECT_EQ(form.WorkingColors().BackgroundColor, MakeColor(0, 0, 255));
    EXPECT_EQ(form.WorkingColors().LightColor, MakeColor(64, 64, 255));
    EXPECT_EQ(form.WorkingColors().ShadowColor, MakeColor(0, 0, 191));
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(0, 0, 255));

    // Hand-chosen edges give way to the derived ones on a cancelled background.
    Answer(form, QColor(9, 9, 9));
    form.SelectEntry(11);
    form.FarbeButtonClick();
    form.SelectEntry(10);
    form.FarbeButtonClick();
    EXPECT_EQ(form.WorkingColors().LightColor, MakeColor(9, 9, 9));
    Answer(form, QColor());
    form.SelectEntry(9);
    form.FarbeButtonClick();
    EXPECT_EQ(presets_.back(), QColor(0, 0, 255));
    EXPECT_EQ(form.WorkingColors().BackgroundColor, MakeColor(0, 0, 255));
    EXPECT_EQ(form.WorkingColors().LightColor, MakeColor(64, 64, 255));
    EXPECT_EQ(form.WorkingColors().ShadowColor, MakeColor(0, 0, 191));

    // Channels cap at 255 and floor at 0.
    Answer(form, QColor(200, 30, 100));
    form.FarbeButtonClick();
    EXPECT_EQ(form.WorkingColors().LightColor, MakeColor(255, 94, 164));
    EXPECT_EQ(form.WorkingColors().ShadowColor, MakeColor(136, 0, 36));
}

TEST_F(ColorsFormTest, CancelKeepsASystemColourSoItFollowsTheDesktop) {
    TColorsForm form;
    form.show();
    Answer(form, QColor());
    for (int item : {2, 9}) {
        form.SelectEntry(item);
        form.FarbeButtonClick();
    }
    EXPECT_EQ(form.WorkingColors().LineColors[3], 0x800080u);
    EXPECT_EQ(form.WorkingColors().BackgroundColor, kSysButtonFace);
    // The edges are derived from what the background shows now.
    const QColor face = ToQColor(kSysButtonFace);
    EXPECT_EQ(form.WorkingColors().LightColor,
              MakeColor(std::min(face.red() + 64, 255), std::min(face.green() + 64, 255),
                        std::min(face.blue() + 64, 255)));
    EXPECT_EQ(form.WorkingColors().ShadowColor,
              MakeColor(std::max(face.red() - 64, 0), std::max(face.green() - 64, 0),
                        std::max(face.blue() - 64, 0)));
    QTest::mouseClick(Button(form, "OkButton"), Qt::LeftButton);
    EXPECT_EQ(FileValue("Background"), "0x8000000F");
    EXPECT_EQ(FileValue("Line3"), "0x800080");
}

TEST_F(ColorsFormTest, ResetButtonsRestoreLineDefaultsAndDesktopColours) {
    TColorsForm form;
    form.show();
    Answer(form, QColor(10, 20, 30));
    for (int item : {0, 5, 9}) {
        form.SelectEntry(item);
        form.FarbeButtonClick();
    }
    QTest::mouseClick(Button(form, "StandardButton"), Qt::LeftButton);
    const tColorSet defaults = DefaultColorSet();
    EXPECT_EQ(form.WorkingColors().LineColors, defaults.LineColors);
    EXPECT_EQ(form.WorkingColors().BackgroundColor, MakeColor(10, 20, 30));

    QTest::mouseClick(Button(form, "WindowsButton"), Qt::LeftButton);
    EXPECT_EQ(form.WorkingColors(), defaults);
    // The preview shows the desktop's own colours again.
    EXPECT_EQ(form.palette().color(QPalette::Window), ToQColor(kSysButtonFace));
    EXPECT_EQ(form.findChild<tHexagon*>(QStringLiteral("Hexagon1"))->Colors().BackgroundColor,
              kSysButtonFace);
}

TEST_F(ColorsFormTest, RightClickOnABarEditsItAndLeftClickOnlySelects) {
    TColorsForm form;
    form.show();
    Answer(form, QColor(7, 7, 7));
    QTest::mouseClick(Bar(form, "Bar3"), Qt::LeftButton);
    EXPECT_EQ(form.SelectedEntry(), 2);
    EXPECT_TRUE(presets_.empty());
    QTest::mouseClick(Bar(form, "BarShadow"), Qt::LeftButton);
    EXPECT_EQ(form.SelectedEntry(), 10);

    QTest::mouseClick(Bar(form, "Bar5"), Qt::RightButton);
    EXPECT_EQ(form.SelectedEntry(), 4);
    ASSERT_EQ(presets_.size(), 1u);
    EXPECT_EQ(presets_[0], ToQColor(0x008000));
    EXPECT_EQ(form.WorkingColors().LineColors[5], MakeColor(7, 7, 7));
    // The dialog carried the twelve colours: lines 1..9, background, shadow, light.
    for (std::size_t n = 1; n <= 9; ++n)
        EXPECT_EQ(custom_[n - 1].rgb(), ToQColor(DefaultColorSet().LineColors[n]).rgb()) << n;
    EXPECT_EQ(custom_[9].rgb(), ToQColor(kSysButtonFace).rgb());
    EXPECT_EQ(custom_[10].rgb(), ToQColor(kSysButtonShadow).rgb());
    EXPECT_EQ(custom_[11].rgb(), ToQColor(kSysButtonHighlight).rgb());

    // The backdrops are no entries.
    QTest::mouseClick(Bar(form, "BarLight2"), Qt::RightButton, {}, QPoint(3, 100));
    EXPECT_EQ(form.SelectedEntry(), 4);
    EXPECT_EQ(presets_.size(), 1u);
}

TEST_F(ColorsFormTest, HoverRaisesOneBarAtATimeAndLeavingFlattensIt) {
    TColorsForm form;
    form.show();
    auto move = [](QWidget* target) {
        QMouseEvent event(QEvent::MouseMove, QPointF(3, 3), target->mapToGlobal(QPointF(3, 3)),
                          Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    };
    tBar* bar2 = Bar(form, "Bar2");
    tBar* bar3 = Bar(form, "Bar3");
    move(bar2);
    EXPECT_EQ(bar2->Bevel(), tBar::bvRaised);
    move(bar3);
    EXPECT_EQ(bar3->Bevel(), tBar::bvRaised);
    EXPECT_EQ(bar2->Bevel(), tBar::bvFlat);
    move(Bar(form, "BarBackground2"));
    EXPECT_EQ(bar3->Bevel(), tBar::bvFlat);
    move(bar3);
    move(&form);
    EXPECT_EQ(bar3->Bevel(), tBar::bvFlat);
    move(bar2);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(bar2, &leave);
    EXPECT_EQ(bar2->Bevel(), tBar::bvFlat);
}

TEST_F(ColorsFormTest, RefusedWriteIsReportedAndTheWindowStillCloses) {
    // Below a plain file no settings file can be made, whoever runs the test.
    const QString blocker = dir_.filePath(QStringLiteral("blocker"));
    QFile f(blocker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    SetSettingsFileName(QDir(blocker).filePath(QStringLiteral("vessrin.ini")).toStdString());
    TColorsForm form;
    form.show();
    Answer(form, QColor(5, 6, 7));
    form.FarbeButtonClick();
    QTest::mouseClick(Button(form, "OkButton"), Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(SharedColors().LineColors[1], MakeColor(5, 6, 7));
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].startsWith(QStringLiteral("nach "))) << messages_[0].toStdString();
    EXPECT_TRUE(messages_[0].endsWith(QStringLiteral("|Vessrin Farben|16")));
}

TEST_F(ColorsFormTest, TextsOfBothLanguagesFitTheirControls) {
    for (const auto& [id, path] : {std::pair{0x0407u, ShotPath("colorsform_de.png")},
                                   std::pair{0x0409u, ShotPath("colorsform_en.png")}}) {
        SetLanguage(id);
        TColorsForm form;
        form.show();
        EXPECT_EQ(form.size(), QSize(413, 326));
        EXPECT_EQ(form.windowTitle(), id == 0x0407u ? QStringLiteral("Vessrin Farben")
                                                    : QStringLiteral("Orvanel colors"));
        EXPECT_EQ(Button(form, "WindowsButton")->text(),
                  id == 0x0407u ? QStringLiteral("&Windows Hintergrund")
                                : QStringLiteral("&Windows Background"));
        EXPECT_TRUE(Button(form, "OkButton")->isDefault());
        for (QPushButton* button : form.findChildren<QPushButton*>()) {
            const QString text = QString(button->text()).remove(QLatin1Char('&'));
            EXPECT_LE(button->fontMetrics().horizontalAdvance(text) + 8, button->width())
                << text.toStdString();
        }
        auto* group = form.findChild<QGroupBox*>(QStringLiteral("Farbe"));
        for (QRadioButton* radio : group->findChildren<QRadioButton*>()) {
            const int needed = radio->fontMetrics().horizontalAdvance(radio->text()) + 13 + 3;
            EXPECT_LE(radio->x() + needed, group->width() - 2) << radio->text().toStdString();
            EXPECT_LE(radio->y() + radio->height(), group->height());
            // Inside the frame the style draws below the group's caption.
            EXPECT_GE(radio->y(), group->contentsRect().top()) << radio->text().toStdString();
        }
        EXPECT_TRUE(form.grab().save(QString::fromLatin1(path)));
    }
}

} // namespace
