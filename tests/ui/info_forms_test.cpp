// Widget tests of the info windows: texts in both languages, links, the strategy cells, placement.
#include "info/author_form.h"
#include "info/idea_form.h"
#include "info/strategy_form.h"
#include "info/suitability.h"

#include "game/hexagon.h"
#include "game/qt_colors.h"
#include "platform/language.h"
#include "platform/settings_file.h"
#include "platform/shell_open.h"
#include "shot_path.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr std::uint32_t kGerman = 0x0407;
constexpr std::uint32_t kEnglish = 0x0409;

class InfoFormsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        SetSettingsFileName(dir_.filePath(QStringLiteral("vessrin.ini")).toStdString());
        SetLanguage(kGerman);
        saved_ = SharedColors();
        SharedColors() = DefaultColorSet();
        SetShellOpenHook([this](const QString& text) {
            opened_ << text;
            return true;
        });
    }
    void TearDown() override {
        SetShellOpenHook(nullptr);
        SetMessageBoxHook(nullptr);
        SharedColors() = saved_;
    }
    static QString Text(QWidget& form, const char* name) {
        return form.findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
    // Every label lies inside the window and shows its whole text.
    static void ExpectLabelsFit(QWidget& form) {
        for (QLabel* label : form.findChildren<QLabel*>()) {
            const std::string name = label->objectName().toStdString();
            EXPECT_LE(label->geometry().right(), form.width() - 1) << name;
            EXPECT_LE(label->geometry().bottom(), form.height() - 1) << name;
            if (!label->pixmap().isNull())
                continue;
            const QRect needed = label->fontMetrics().boundingRect(
                QRect(0, 0, label->width(), 10000),
                (label->wordWrap() ? Qt::TextWordWrap : 0) | Qt::AlignLeft, label->text());
            EXPECT_LE(needed.width(), label->width()) << name;
            EXPECT_LE(needed.height(), label->height()) << name;
        }
    }

    QTemporaryDir dir_;
    tColorSet saved_;
    QStringList opened_;
};

TEST_F(InfoFormsTest, AuthorWindowTextsInBothLanguages) {
    struct tCase {
        std::uint32_t Language;
        const char* Caption;
        const char* Datum;
        const char* Anschrift;
        const char* Telefon;
        const char* Pflege;
        const char* Hint;
        const char* Png;
    };
    const tCase cases[] = {
        {kGerman, "Vessrin Programmautor", "M\xC3\xA4rz 1996 bis 16. Mai 2011", "Anschrift",
         "Telefon / Q", "Programmpflege",
         "Auf eine neue Version pr\xC3\xBC"
         "fen und die Webseite besuchen",
         ShotPath("authorform_de.png")},
        {kEnglish, "Orvanel program's author", "March 1996 until May 16th 2011", "Address",
         "Phone / Answ. mach.", "Program maintained", "Check for an upgrade and visit the web site",
         ShotPath("authorform_en.png")},
    };
    for (const tCase& c : cases) {
        SetLanguage(c.Language);
        TAuthorForm form;
        form.show();
        EXPECT_EQ(form.size(), QSize(528, 272));
        EXPECT_EQ(form.windowTitle(), QString::fromUtf8(c.Caption));
        EXPECT_EQ(Text(form, "Datum"), QString::fromUtf8(c.Datum));
        EXPECT_EQ(Text(form, "Anschrift"), QString::fromUtf8(c.Anschrift));
        EXPECT_EQ(Text(form, "Telefon"), QString::fromUtf8(c.Telefon));
        EXPECT_EQ(Text(form, "Pflege"), QString::fromUtf8(c.Pflege));
        EXPECT_EQ(Text(form, "Author"), QStringLiteral("Author"));
        EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("InternetVal"))->toolTip(),
                  QString::fromUtf8(c.Hint));
        EXPECT_TRUE(Text(form, "Hinweis").contains(QStringLiteral("Vessrin")));
        // The contact data lie under the reserved example domain.
        EXPECT_TRUE(Text(form, "eMailVal").endsWith(QStringLiteral("@example.org")));
        EXPECT_EQ(Text(form, "InternetVal"), QStringLiteral("http://www.example.org/"));
        EXPECT_FALSE(CompilerText().isEmpty());
        EXPECT_TRUE(CompilerText().contains(QRegularExpression(QStringLiteral("[0-9]+\\.[0-9]+"))))
            << CompilerText().toStdString();
        EXPECT_EQ(Text(form, "CompilerVal"), CompilerText());
        ExpectLabelsFit(form);
        EXPECT_TRUE(form.grab().save(QString::fromLatin1(c.Png)));
    }
}

TEST_F(InfoFormsTest, AuthorPictureIsDrawn) {
    TAuthorForm form;
    form.show();
    const QPixmap picture = form.findChild<QLabel*>(QStringLiteral("Image"))->pixmap();
    ASSERT_EQ(picture.size(), QSize(159, 225));
    const QImage image = picture.toImage();
    // The picture came from the resources: it is neither blank nor one colour.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 20);
}

TEST_F(InfoFormsTest, MailLinkOpensTheAddressWithTheSubjectAndWebLinkSignals) {
    TAuthorForm form;
    form.show();
    QSignalSpy web(&form, &TAuthorForm::internetValClicked);
    auto* mail = form.findChild<QLabel*>(QStringLiteral("eMailVal"));
    EXPECT_EQ(mail->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(mail, Qt::RightButton);
    EXPECT_TRUE(opened_.isEmpty());
    QTest::mouseClick(mail, Qt::LeftButton);
    EXPECT_EQ(opened_,
              QStringList{QStringLiteral("mailto:autor@example.org ? subject=Quorvik%20Vessrin")});
    EXPECT_EQ(web.count(), 0);
    QTest::mouseClick(form.findChild<QLabel*>(QStringLiteral("InternetVal")), Qt::LeftButton);
    EXPECT_EQ(web.count(), 1);
    EXPECT_EQ(opened_.size(), 1); // the version check, not this window, opens the site
}

TEST_F(InfoFormsTest, IdeaWindowTranslatesAllLinesButTheRightsHolder) {
    std::vector<QString> german, english;
    for (const auto& [id, path] : {std::pair{kGerman, ShotPath("ideaform_de.png")},
                                   std::pair{kEnglish, ShotPath("ideaform_en.png")}}) {
        SetLanguage(id);
        TIdeaForm form;
        form.show();
        EXPECT_EQ(form.size(), QSize(345, 148));
        EXPECT_EQ(form.windowTitle(),
                  id == kGerman ? QStringLiteral("Vessrin Idee") : QStringLiteral("Orvanel idea"));
        auto& texts = id == kGerman ? german : english;
        for (int n = 1; n <= 7; ++n) {
            auto* label = form.findChild<QLabel*>(QStringLiteral("Label%1").arg(n));
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(label->y(), 8 + 16 * (n - 1));
            texts.push_back(label->text());
        }
        ExpectLabelsFit(form);
        EXPECT_TRUE(form.grab().save(QString::fromLatin1(path)));
    }
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_FALSE(german[i].isEmpty());
        if (i == 1) {
            EXPECT_EQ(german[i], english[i]);
        } else {
            EXPECT_NE(german[i], english[i]) << i;
        }
    }
}

TEST_F(InfoFormsTest, StrategyExamplesShowTheirLinesAndFollowColourChanges) {
    TStrategyForm form;
    tHexagon* cells[6];
    for (int n = 1; n <= 6; ++n) {
        cells[n - 1] = form.findChild<tHexagon*>(QStringLiteral("Hexagon%1").arg(n));
        ASSERT_NE(cells[n - 1], nullptr);
        EXPECT_EQ(cells[n - 1]->Style(), hxVisible);
    }
    for (int n = 0; n < 3; ++n)
        EXPECT_EQ(cells[n]->GetLine(1), 6) << n;
    EXPECT_EQ(cells[3]->GetLine(2), 8);
    EXPECT_EQ(cells[4]->GetLine(2), 4);
    EXPECT_EQ(cells[5]->GetLine(2), 8);

    form.show();
    form.accept();
    SharedColors().LineColors[6] = MakeColor(1, 1, 1);
    SharedColors().LineColors[4] = MakeColor(2, 2, 2);
    SharedColors().BackgroundColor = MakeColor(30, 60, 90);
    // Not before the next showing.
    EXPECT_EQ(cells[0]->Colors().LineColors[6], 0x0000FFu);
    form.show();
    for (tHexagon* cell : cells)
        EXPECT_EQ(cell->Colors(), SharedColors());
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(30, 60, 90));
}

TEST_F(InfoFormsTest, StrategyTextsInBothLanguagesFit) {
    for (const auto& [id, path] : {std::pair{kGerman, ShotPath("strategyform_de.png")},
                                   std::pair{kEnglish, ShotPath("strategyform_en.png")}}) {
        SetLanguage(id);
        TStrategyForm form;
        form.show();
        EXPECT_EQ(form.size(), QSize(385, 229));
        EXPECT_EQ(form.windowTitle(), id == kGerman ? QStringLiteral("Vessrin Strategie")
                                                    : QStringLiteral("Orvanel strategy"));
        EXPECT_EQ(Text(form, "Label2"), id == kGerman
                                            ? QStringLiteral("3 Steine * 6 = 18 Punkte.")
                                            : QStringLiteral("3 chips of 6 = 18 points."));
        if (id == kGerman) {
            EXPECT_TRUE(Text(form, "Label3").contains(QStringLiteral("st\u00F6rt,  sonst")));
        }
        ExpectLabelsFit(form);
        EXPECT_TRUE(form.grab().save(QString::fromLatin1(path)));
    }
}

TEST_F(InfoFormsTest, SuitabilityMessageCarriesTheCallersCaption) {
    QStringList shown;
    SetMessageBoxHook([&shown](const QString& text, const QString& caption, int flags) {
        shown << QStringLiteral("%1|%2|%3").arg(text, caption).arg(flags);
        return kIdOk;
    });
    SetLanguage(kGerman);
    ShowSuitability(QStringLiteral("Vessrin"));
    SetLanguage(kEnglish);
    ShowSuitability(QStringLiteral("Orvanel"));
    EXPECT_EQ(shown,
              (QStringList{
                  QStringLiteral("Vessrin ist f\u00FCr Spieler ab 10 Jahren geeignet.|Vessrin|0"),
                  QStringLiteral("Orvanel is suitable for players of at least 10 years "
                                 "age.|Orvanel|0")}));
}

TEST_F(InfoFormsTest, WindowsAreModalOnTopAndKeepTheirPlace) {
    std::vector<std::pair<std::string, std::function<std::unique_ptr<QDialog>()>>> makers = {
        {"AuthorForm", [] { return std::make_unique<TAuthorForm>(); }},
        {"IdeaForm", [] { return std::make_unique<TIdeaForm>(); }},
        {"StrategyForm", [] { return std::make_unique<TStrategyForm>(); }},
    };
    for (const auto& [section, make] : makers) {
        auto form = make();
        EXPECT_TRUE(form->isModal()) << section;
        EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint) << section;
        form->show();
        form->move(60, 70);
        QTest::keyClick(form.get(), Qt::Key_Return); // the default Ok
        EXPECT_FALSE(form->isVisible()) << section;
        EXPECT_EQ(form->result(), QDialog::Accepted) << section;
        EXPECT_EQ(ReadProfileInt(section, "Left", -1), 60) << section;
        EXPECT_EQ(ReadProfileInt(section, "Top", -1), 70) << section;
        EXPECT_EQ(ReadProfileInt(section, "Width", -1), -1) << section;
        EXPECT_EQ(make()->pos(), QPoint(60, 70)) << section;
    }
}

} // namespace
