// Widget tests of the player name dialog: name list, button states, saving and write errors.
#include "platform/language.h"
#include "platform/settings_file.h"
#include "shot_path.h"
#include "table/player_form.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class PlayerFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        file_ = dir_.filePath(QStringLiteral("vessrin.ini")).toStdString();
        SetSettingsFileName(file_);
        SetLanguage(0x0407);
        SetMessageBoxHook([this](const QString& text, const QString& caption, int flags) {
            boxes_.push_back({text, caption, flags});
            return kIdOk;
        });
    }
    void TearDown() override {
        SetMessageBoxHook({});
        ::chmod(dir_.path().toLocal8Bit().constData(), 0700);
    }

    void WriteIni(const char* text) {
        QFile f(QString::fromStdString(file_));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    std::string Name(const char* key) { return ReadProfileString("Names", key, "<none>", file_); }

    static QComboBox* Spieler(TPlayerForm& form) {
        return form.findChild<QComboBox*>(QStringLiteral("Spieler"));
    }
    static QPushButton* Button(TPlayerForm& form, const char* name) {
        return form.findChild<QPushButton*>(QString::fromLatin1(name));
    }
    static void Type(TPlayerForm& form, const QString& text) {
        QLineEdit* edit = Spieler(form)->lineEdit();
        edit->clear();
        QTest::keyClicks(edit, text);
    }

    struct tBox {
        QString Text;
        QString Caption;
        int Flags;
    };
    QTemporaryDir dir_;
    std::string file_;
    std::vector<tBox> boxes_;
};

TEST_F(PlayerFormTest, FirstStartListsOnlyPcWithBothButtonsDisabled) {
    TPlayerForm form;
    EXPECT_EQ(form.Names(), QStringList{QStringLiteral("PC")});
    EXPECT_EQ(form.Text(), QString());
    EXPECT_FALSE(Button(form, "OkButton")->isEnabled());
    EXPECT_FALSE(Button(form, "ClearButton")->isEnabled());
    EXPECT_EQ(form.width(), 297);
    EXPECT_GE(form.height(), 140);
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(Spieler(form)->lineEdit()->maxLength(), 19);
    EXPECT_TRUE(Button(form, "OkButton")->isDefault());
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(PlayerFormTest, ButtonStatesFollowTheTypedName) {
    struct tCase {
        const char* Text;
        bool Ok;
        bool Clear;
    };
    const tCase cases[] = {
        {"PC", true, false},         {" PC ", true, false},   {"pc", true, true},
        {"  Anna  ", true, true},    {"   ", false, false},   {"\\", false, true},
        {"\\\\", false, true},       {"\\\\x", true, true},   {"\\\\pc\\", false, true},
        {"\\\\pc\\Bo", false, true}, {"An\\na", false, true}, {" \\\\host ", true, true},
        {"Anna\\", false, true},     {"\\Anna", false, true}, {"Bo", true, true},
    };
    TPlayerForm form;
    for (const tCase& c : cases) {
        Type(form, QString::fromUtf8(c.Text));
        EXPECT_EQ(form.Text(), QString::fromUtf8(c.Text));
        EXPECT_EQ(Button(form, "OkButton")->isEnabled(), c.Ok) << c.Text;
        EXPECT_EQ(Button(form, "ClearButton")->isEnabled(), c.Clear) << c.Text;
    }
}

TEST_F(PlayerFormTest, OkAddsTheTrimmedNameWhileTextStaysUntrimmed) {
    TPlayerForm form;
    Type(form, QStringLiteral("  Anna  "));
    QTest::mouseClick(Button(form, "OkButton"), Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.Text(), QStringLiteral("  Anna  "));
    EXPECT_EQ(form.Names(), (QStringList{QStringLiteral("Anna"), QStringLiteral("PC")}));
    EXPECT_EQ(Name("00"), "Anna");
    EXPECT_EQ(Name("01"), "PC");
    EXPECT_EQ(Name("02"), "<none>");
}

TEST_F(PlayerFormTest, ReturnPressesOkOnlyWhenEnabled) {
    TPlayerForm form;
    form.show();
    Type(form, QStringLiteral("Anna\\"));
    QTest::keyClick(Spieler(form)->lineEdit(), Qt::Key_Return);
    EXPECT_TRUE(form.isVisible());
    Type(form, QStringLiteral(" Anna "));
    QTest::keyClick(Spieler(form)->lineEdit(), Qt::Key_Return);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    // Return must not have let the combo box add the name a second time.
    EXPECT_EQ(form.Names(), (QStringList{QStringLiteral("Anna"), QStringLiteral("PC")}));
}

TEST_F(PlayerFormTest, CancelAndCloseBoxRememberTheNameToo) {
    {
        TPlayerForm form;
        form.show();
        Type(form, QStringLiteral("Carl"));
        QTest::mouseClick(Button(form, "CancelButton"), Qt::LeftButton);
        EXPECT_EQ(form.result(), QDialog::Rejected);
    }
    {
        TPlayerForm form;
        form.show();
        Type(form, QStringLiteral("anna"));
        form.close();
        EXPECT_EQ(form.result(), QDialog::Rejected);
    }
    TPlayerForm again;
    EXPECT_EQ(again.Names(),
              (QStringList{QStringLiteral("anna"), QStringLiteral("Carl"), QStringLiteral("PC")}));
}

TEST_F(PlayerFormTest, NamesEqualIgnoringCaseAreNotAddedAgain) {
    WriteIni("[Names]\n00=Anna\n01=pc\n");
    TPlayerForm form;
    EXPECT_EQ(form.Names(), (QStringList{QStringLiteral("Anna"), QStringLiteral("pc")}));
    Type(form, QStringLiteral(" ANNA"));
    form.accept();
    Type(form, QStringLiteral("PC"));
    form.accept();
    EXPECT_EQ(form.Names(), (QStringList{QStringLiteral("Anna"), QStringLiteral("pc")}));
}

TEST_F(PlayerFormTest, ReadingStopsAtTheFirstMissingKey) {
    WriteIni("[Names]\n00=Anna\n01=Bo\n03=Carl\n");
    TPlayerForm form;
    EXPECT_EQ(form.Names(),
              (QStringList{QStringLiteral("Anna"), QStringLiteral("Bo"), QStringLiteral("PC")}));
}

TEST_F(PlayerFormTest, EmptyValueDropsTheRestAtTheNextSave) {
    WriteIni("[Names]\n00=Anna\n01=\n02=Bo\n03=Carl\n");
    TPlayerForm form;
    EXPECT_EQ(form.Names(), (QStringList{QStringLiteral("Anna"), QStringLiteral("PC")}));
    Type(form, QStringLiteral("Dora"));
    form.accept();
    EXPECT_EQ(Name("00"), "Anna");
    EXPECT_EQ(Name("01"), "Dora");
    EXPECT_EQ(Name("02"), "PC");
    EXPECT_EQ(Name("03"), "<none>");
}

TEST_F(PlayerFormTest, KeysArePaddedToAtLeastTwoDigits) {
    std::string ini = "[Names]\n";
    char buf[32];
    for (int i = 0; i < 101; ++i) {
        std::snprintf(buf, sizeof buf, "%02d=N%03d\n", i, i);
        ini += buf;
    }
    WriteIni(ini.c_str());
    TPlayerForm form;
    ASSERT_EQ(form.Names().size(), 102);
    Type(form, QStringLiteral("A"));
    form.accept();
    EXPECT_EQ(Name("00"), "A");
    EXPECT_EQ(Name("08"), "N007");
    EXPECT_EQ(Name("101"), "N100");
    EXPECT_EQ(Name("102"), "PC");
    EXPECT_EQ(Name("0101"), "<none>");
}

TEST_F(PlayerFormTest, DeleteRemovesEveryExactMatchAndSaves) {
    WriteIni("[Names]\n00=Bo\n01=Bo\n02=bo\n03=PC\n");
    TPlayerForm form;
    Type(form, QStringLiteral("Bo"));
    QTest::mouseClick(Button(form, "ClearButton"), Qt::LeftButton);
    EXPECT_EQ(form.Names(), (QStringList{QStringLiteral("bo"), QStringLiteral("PC")}));
    EXPECT_EQ(form.Text(), QString());
    EXPECT_FALSE(Button(form, "OkButton")->isEnabled());
    EXPECT_FALSE(Button(form, "ClearButton")->isEnabled());
    EXPECT_EQ(Name("00"), "bo");
    EXPECT_EQ(Name("01"), "PC");
    EXPECT_EQ(Name("02"), "<none>");
}

TEST_F(PlayerFormTest, RefusedWriteShowsOneBoxPerSaveAndKeepsTheList) {
    WriteIni("[Names]\n00=Anna\n01=PC\n");
    // Mode bits, not only the folder, so the refusal holds for root as well.
    ASSERT_EQ(::chmod(file_.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(dir_.path().toLocal8Bit().constData(), 0555), 0);
    TPlayerForm form;
    form.show();
    Type(form, QStringLiteral("Bo"));
    QTest::mouseClick(Button(form, "OkButton"), Qt::LeftButton);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].Caption, QStringLiteral("Vessrin Spieler"));
    EXPECT_EQ(boxes_[0].Flags, kMbIconStop);
    EXPECT_TRUE(boxes_[0].Text.contains(QString::fromStdString(file_)));
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.Names(),
              (QStringList{QStringLiteral("Anna"), QStringLiteral("Bo"), QStringLiteral("PC")}));

    form.show();
    Type(form, QStringLiteral("Anna"));
    QTest::mouseClick(Button(form, "ClearButton"), Qt::LeftButton);
    EXPECT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(form.Names(), (QStringList{QStringLiteral("Bo"), QStringLiteral("PC")}));
    EXPECT_EQ(Name("00"), "Anna");
}

TEST_F(PlayerFormTest, TextsFitTheirControlsInBothLanguages) {
    for (const auto& [id, path] : {std::pair{0x0407u, ShotPath("playerform_de.png")},
                                   std::pair{0x0409u, ShotPath("playerform_en.png")}}) {
        SetLanguage(id);
        TPlayerForm form;
        form.show();
        Type(form, QStringLiteral("Anna"));
        EXPECT_EQ(Button(form, "ClearButton")->text(), id == 0x0407u
                                                           ? QString::fromUtf8("&Lösche Eintrag")
                                                           : QStringLiteral("&Delete entry"));
        EXPECT_EQ(form.windowTitle(), id == 0x0407u ? QStringLiteral("Vessrin Spieler")
                                                    : QStringLiteral("Orvanel player"));
        auto* label = form.findChild<QLabel*>(QStringLiteral("Anleitung"));
        EXPECT_LE(label->heightForWidth(label->width()), label->height()) << path;
        EXPECT_GE(Spieler(form)->y(), label->geometry().bottom()) << path;
        // The caption "Name" stands apart from its box, on the box's text line.
        auto* caption = form.findChild<QLabel*>(QStringLiteral("Label1"));
        EXPECT_LE(caption->geometry().right() + 4, Spieler(form)->x()) << path;
        EXPECT_NEAR(caption->geometry().center().y(), Spieler(form)->geometry().center().y(), 1)
            << path;
        EXPECT_LE(Button(form, "CancelButton")->geometry().bottom(), form.height()) << path;
        for (QPushButton* b : form.findChildren<QPushButton*>()) {
            const QString shown = QString(b->text()).remove(QLatin1Char('&'));
            EXPECT_LT(b->fontMetrics().horizontalAdvance(shown) + 8, b->width()) << path;
        }
        EXPECT_TRUE(form.grab().save(QString::fromLatin1(path)));
    }
}

} // namespace
