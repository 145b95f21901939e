// Tests of the language selection, the bilingual texts and the message box.
#include "platform/language.h"
#include "platform/settings_file.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace {

TEST(LocaleIdFromPosix, MapsLocaleNamesToWindowsIds) {
    struct tCase {
        const char* Name;
        std::uint32_t Id;
    } cases[] = {
        {"de_DE.UTF-8", 0x0407},
        {"de_CH", 0x0807},
        {"de_AT.UTF-8", 0x0C07},
        {"de_LU", 0x1007},
        {"de_LI", 0x1407},
        {"de", 0x0407},
        {"de_DE@euro", 0x0407},
        {"de_BE", 0x0407},
        {"en_US.UTF-8", 0x0409},
        {"en_GB", 0x0809},
        {"en", 0x0409},
        {"fr_FR.UTF-8", 0x040C},
        {"fr_CA", 0x0C0C},
        {"nl_NL", 0x0413},
        {"pt_BR", 0x0416},
        {"ru_RU.KOI8-R", 0x0419},
        {"xx_YY", 0x0409},
        {"C", 0},
        {"POSIX", 0},
        {"", 0},
        {"C.UTF-8", 0},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(LocaleIdFromPosix(c.Name), c.Id) << c.Name;
}

TEST(SetLanguage, GermanExactlyForPrimaryLanguage7) {
    struct tCase {
        std::uint32_t Id;
        bool German;
    } cases[] = {{0x0407, true},  {0x0807, true},  {0x0C07, true},  {0x1007, true},
                 {0x1407, true},  {0x0409, false}, {0x040C, false}, {0x0413, false},
                 {0x0000, false}, {0x0419, false}};
    for (const tCase& c : cases) {
        SetLanguage(c.Id);
        EXPECT_EQ(IsGerman(), c.German) << std::hex << c.Id;
    }
}

TEST(SetLanguage, ZeroCountsAsUsEnglish) {
    SetLanguage(0);
    EXPECT_EQ(LocaleId(), 1033u);
    EXPECT_EQ(QLocale().name(), "en_US");
}

TEST(SetLanguage, NumberFormatsFollowTheLocale) {
    SetLanguage(0x0C07);
    EXPECT_EQ(QLocale().name(), "de_AT");
    EXPECT_EQ(QLocale().toString(1.5, 'f', 1), "1,5");
    SetLanguage(0x0409);
    EXPECT_EQ(QLocale().toString(1.5, 'f', 1), "1.5");
}

TEST(Tr, PicksTheChosenLanguage) {
    SetLanguage(0x0407);
    EXPECT_EQ(Tr("Schlie\xC3\x9F"
                 "en",
                 "Close"),
              QString::fromUtf8("Schlie\xC3\x9F"
                                "en"));
    SetLanguage(0x0809);
    EXPECT_EQ(Tr("Schlie\xC3\x9F"
                 "en",
                 "Close"),
              "Close");
}

// Sets the locale variables for one test and puts them back afterwards.
class SelectLanguageEnv : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 3; ++i) {
            const char* v = std::getenv(kVars[i]);
            saved_[i] = v ? std::optional<std::string>(v) : std::nullopt;
        }
        settings_ = SettingsFileName();
    }
    void TearDown() override {
        for (int i = 0; i < 3; ++i) {
            if (saved_[i])
                setenv(kVars[i], saved_[i]->c_str(), 1);
            else
                unsetenv(kVars[i]);
        }
        SetSettingsFileName(settings_);
        SetLanguage(0x0409);
    }
    void Env(const char* all, const char* messages, const char* lang) {
        setenv("LC_ALL", all, 1);
        setenv("LC_MESSAGES", messages, 1);
        setenv("LANG", lang, 1);
    }
    static constexpr const char* kVars[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::optional<std::string> saved_[3];
    std::string settings_;
};

TEST_F(SelectLanguageEnv, FirstNonEmptyVariableWins) {
    struct tCase {
        const char* All;
        const char* Messages;
        const char* Lang;
        std::uint32_t Id;
    } cases[] = {
        {"fr_FR.UTF-8", "de_DE.UTF-8", "de_DE.UTF-8", 0x040C},
        {"", "de_AT.UTF-8", "en_US.UTF-8", 0x0C07},
        {"", "", "de_CH.UTF-8", 0x0807},
        {"", "", "", 1033},
        {"C", "de_DE.UTF-8", "de_DE.UTF-8", 1033},
    };
    for (const tCase& c : cases) {
        Env(c.All, c.Messages, c.Lang);
        SelectLanguage("/usr/games/vessrin");
        EXPECT_EQ(LocaleId(), c.Id) << c.All << "|" << c.Messages << "|" << c.Lang;
    }
}

TEST_F(SelectLanguageEnv, FormsTheSettingsFileName) {
    Env("", "", "de_DE.UTF-8");
    SelectLanguage("/usr/games/vessrin");
    EXPECT_TRUE(IsGerman());
    EXPECT_EQ(SettingsFileName(), JoinPath(StartDirectory(), "vessrin.ini"));
}

struct tRecordedBox {
    QString Text;
    QString Caption;
    int Flags = -1;
};

TEST(MessageBoxHook, ReceivesTheBoxAndAnswersForIt) {
    tRecordedBox seen;
    SetMessageBoxHook([&](const QString& text, const QString& caption, int flags) {
        seen = {text, caption, flags};
        return kIdNo;
    });
    const int answer = ShowMessageBox("Frage?", "Vessrin", kMbYesNo);
    SetMessageBoxHook(nullptr);
    EXPECT_EQ(answer, kIdNo);
    EXPECT_EQ(seen.Text, "Frage?");
    EXPECT_EQ(seen.Caption, "Vessrin");
    EXPECT_EQ(seen.Flags, kMbYesNo);
}

TEST(MessageBoxHook, WriteErrorShowsItsTextWithTheStopIcon) {
    tRecordedBox seen;
    SetMessageBoxHook([&](const QString& text, const QString& caption, int flags) {
        seen = {text, caption, flags};
        return kIdOk;
    });
    ReportWriteError(tWriteError("/tmp/x/vessrin.ini"), "Farben");
    SetMessageBoxHook(nullptr);
    EXPECT_EQ(seen.Text, "nach /tmp/x/vessrin.ini kann nicht geschrieben werden");
    EXPECT_EQ(seen.Caption, "Farben");
    EXPECT_EQ(seen.Flags, kMbIconStop);
}

// Presses the button with the given text of the next modal box and records
// the box's button texts and icon.
struct tBoxPresser {
    explicit tBoxPresser(const char* press) : Press(press) {}
    QString Press;
    QStringList Buttons;
    QMessageBox::Icon Icon = QMessageBox::Information;
    void Arm() {
        QTimer::singleShot(0, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                Arm();
                return;
            }
            Icon = box->icon();
            for (QAbstractButton* b : box->buttons())
                Buttons << b->text();
            for (QAbstractButton* b : box->buttons())
                if (b->text() == Press)
                    b->click();
        });
    }
};

TEST(ShowMessageBox, GermanQuestionHasJaAndNeinAndReturns7ForNein) {
    SetLanguage(0x0407);
    tBoxPresser presser("Nein");
    presser.Arm();
    EXPECT_EQ(ShowMessageBox("Noch ein Spiel?", "Vessrin", kMbYesNo), kIdNo);
    EXPECT_EQ(presser.Buttons.size(), 2);
    EXPECT_TRUE(presser.Buttons.contains("Ja"));
    EXPECT_EQ(presser.Icon, QMessageBox::NoIcon);
}

TEST(ShowMessageBox, EnglishQuestionReturns6ForYes) {
    SetLanguage(0x0409);
    tBoxPresser presser("Yes");
    presser.Arm();
    EXPECT_EQ(ShowMessageBox("Another game?", "Orvanel", kMbYesNo), kIdYes);
    EXPECT_TRUE(presser.Buttons.contains("No"));
}

TEST(ShowMessageBox, ErrorHasTheCriticalIconAndOk) {
    tBoxPresser presser("OK");
    presser.Arm();
    EXPECT_EQ(ShowMessageBox("Fehler", "Vessrin", kMbIconStop), kIdOk);
    EXPECT_EQ(presser.Buttons, QStringList{"OK"});
    EXPECT_EQ(presser.Icon, QMessageBox::Critical);
}

TEST(ShowMessageBox, InformationHasNoIcon) {
    tBoxPresser presser("OK");
    presser.Arm();
    EXPECT_EQ(ShowMessageBox("Info", "Vessrin", kMbOk), kIdOk);
    EXPECT_EQ(presser.Icon, QMessageBox::NoIcon);
}

// Qt's own dialogs speak the session's language: German catalogue texts in
// a German session, Qt's English texts otherwise, also after German was on.
TEST(LoadToolkitTranslations, StandardDialogsFollowTheLanguage) {
    struct tCase {
        std::uint32_t Id;
        bool Loaded;
        const char* Title;
        const char* Cancel;
    } cases[] = {
        {0x0407, true, "Farbauswahl", "Abbrechen"},
        {0x0409, true, "Select Color", "Cancel"},
        {0x0807, true, "Farbauswahl", "Abbrechen"},
        {0x040C, true, "Select Color", "Cancel"},
    };
    for (const tCase& c : cases) {
        SetLanguage(c.Id);
        EXPECT_EQ(LoadToolkitTranslations(), c.Loaded)
            << std::hex << c.Id << ": is qt6-translations-l10n installed?";
        QColorDialog dialog;
        EXPECT_EQ(dialog.windowTitle(), c.Title) << std::hex << c.Id;
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        QAbstractButton* cancel = buttons->button(QDialogButtonBox::Cancel);
        ASSERT_NE(cancel, nullptr);
        EXPECT_EQ(cancel->text(), c.Cancel) << std::hex << c.Id;
    }
    SetLanguage(0x0409);
    LoadToolkitTranslations();
}

} // namespace
