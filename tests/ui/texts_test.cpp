// The program's own texts in both languages, control by control, against the literal texts
// they must show: menus, tool button hints, info windows, the port dialog and its messages.
#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "core/colors.h"
#include "info/author_form.h"
#include "info/idea_form.h"
#include "info/strategy_form.h"
#include "info/suitability.h"
#include "net/port_form.h"
#include "platform/language.h"
#include "platform/settings_file.h"
#include "table/main_form.h"

namespace {

constexpr std::uint32_t kGerman = 0x0407;
constexpr std::uint32_t kEnglish = 0x0409;

// Where a text shows: the window's caption (no control), a menu's title, an
// item's or a control's caption, or a hint.
enum tWhere { kCaption, kText, kHint };

struct tText {
    const char* control; // object name; nullptr for the window itself
    tWhere where;
    const char* german;
    const char* english;
};

QString Shown(QWidget& window, const tText& t) {
    if (!t.control)
        return window.windowTitle();
    const QString name = QString::fromLatin1(t.control);
    if (auto* menu = window.findChild<QMenu*>(name))
        return menu->title();
    if (auto* action = window.findChild<QAction*>(name))
        return t.where == kHint ? action->toolTip() : action->text();
    QWidget* widget = window.findChild<QWidget*>(name);
    if (!widget)
        return QStringLiteral("<no control %1>").arg(name);
    if (t.where == kHint)
        return widget->toolTip();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    return QStringLiteral("<no text on %1>").arg(name);
}

class TextsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        SetSettingsFileName(dir_.filePath(QStringLiteral("vessrin.ini")).toStdString());
        TMainForm::EnableNetworkStart(false);
    }
    void TearDown() override {
        TMainForm::EnableNetworkStart(true);
        SetLanguage(kGerman);
    }
    // Every text of the table, made by a fresh window in each language.
    template <class TWindow> void Check(const std::vector<tText>& texts) {
        for (const std::uint32_t language : {kGerman, kEnglish}) {
            SetLanguage(language);
            auto window = std::make_unique<TWindow>();
            for (const tText& t : texts) {
                const char* expected = language == kGerman ? t.german : t.english;
                EXPECT_EQ(Shown(*window, t).toStdString(), expected)
                    << window->objectName().toStdString() << " "
                    << (t.control ? t.control : "caption")
                    << (language == kGerman ? " German" : " English");
            }
        }
    }

    QTemporaryDir dir_;
};

TEST_F(TextsTest, MainWindowMenusAndToolButtonHints) {
    Check<TMainForm>({
        {nullptr, kCaption, "Vessrin", "Orvanel"},
        {"MenuSpiel", kText, "&Spiel", "&Game"},
        {"MenuNeu", kText, "&Neuer Spieler", "&New player"},
        {"MenuHigh", kText, "&Bestenliste", "&High score"},
        {"MenuFenster", kText, "&Fenster", "&Window"},
        {"MenuUeberlappend", kText, "Über&lappend", "&Cascade"},
        {"MenuNebeneinander", kText, "&Nebeneinander", "&Tile"},
        {"MenuSymboleAnordnen", kText, "&Symbole anordnen", "&Arrange icons"},
        {"MenuAmZug", kText, "Spieler am &Zug", "Next &Player due"},
        {"MenuChat", kText, "&Mitteilungen", "&Messages"},
        {"MenuEinstellung", kText, "&Einstellung", "&Settings"},
        {"MenuFarben", kText, "&Farben", "&Colors"},
        {"MenuNetzwerk", kText, "&Netzwerk", "&Network"},
        {"MenuShortcut", kText, "&Verknüpfungen", "&Shortcuts"},
        {"MenuInfo", kText, "&Info", "&Info"},
        {"MenuEignung", kText, "&Eignung", "S&uitability"},
        {"MenuIdee", kText, "&Idee", "&Idea"},
        {"MenuProgramm", kText, "&Programm", "&Program"},
        {"MenuZiel", kText, "&Strategie", "&Strategy"},
        {"MenuOpt", kText, "&Optimale Lösungen", "&Optimal solutions"},
        {"BtnNeu", kHint, "neuer Spieler", "New player"},
        {"BtnNeuAtn", kHint, "neuer Spieler", "New player"},
        {"BtnHighscore", kHint, "Bestenliste", "High score"},
        {"BtnNext", kHint, "Spieler am Zug", "Next Player due"},
        {"BtnFarben", kHint, "Farben einstellen", "Change colors"},
        {"BtnEignung", kHint, "Info Eignung", "About suitability"},
        {"BtnIdee", kHint, "Info Idee", "About idea"},
        {"BtnProg", kHint, "Info Programm", "About program"},
        {"BtnZiel", kHint, "Info Strategie", "About strategy"},
        {"BtnOpt", kHint, "optimale Lösungen", "Optimal solutions"},
    });
}

TEST_F(TextsTest, ProgramWindow) {
    Check<TAuthorForm>({
        {nullptr, kCaption, "Vessrin Programmautor", "Orvanel program's author"},
        {"Author", kText, "Author", "Author"},
        {"Anschrift", kText, "Anschrift", "Address"},
        {"Telefon", kText, "Telefon / Q", "Phone / Answ. mach."},
        {"Telefax", kText, "Telefax", "Telefax"},
        {"eMail", kText, "eMail", "eMail"},
        {"Internet", kText, "Internet", "Internet"},
        {"InternetVal", kHint, "Auf eine neue Version prüfen und die Webseite besuchen",
         "Check for an upgrade and visit the web site"},
        {"Compiler", kText, "Compiler", "Compiler"},
        {"Pflege", kText, "Programmpflege", "Program maintained"},
        {"Datum", kText, "März 1996 bis 16. Mai 2011", "March 1996 until May 16th 2011"},
        {"Hinweis", kText,
         "Ich habe Vessrin als Brettspiel kennengelernt. Es war mühsam, bei Spielende die "
         "Punktestände und den Sieger auszurechnen. Deshalb habe ich die Spielidee auf den "
         "Bildschirm gebracht und nach und nach die Bedienung verfeinert.",
         "I came to know the game in a box named \"Vessrin\". It was awkward to calculate the "
         "scores and the winner on ending the game. Therefore I brought the sense of the game to "
         "the computer screen and step by step I improved the handling."},
        {"Button", kText, "&Ok", "&Ok"},
    });
}

TEST_F(TextsTest, IdeaAndStrategyWindows) {
    Check<TIdeaForm>({
        {nullptr, kCaption, "Vessrin Idee", "Orvanel idea"},
        {"Button1", kText, "&Ok", "&Ok"},
    });
    Check<TStrategyForm>({
        {nullptr, kCaption, "Vessrin Strategie", "Orvanel strategy"},
        {"Label1", kText,
         "Kombinieren Sie möglichst viele Linien aller drei Richtungen durchgehend in gleicher "
         "Wertigkeit.",
         "Combine as many as possible lines of all three directions in througout the same value."},
        {"Label2", kText, "3 Steine * 6 = 18 Punkte.", "3 chips of 6 = 18 points."},
        {"Label3", kText, "Keine Punkte, weil die 4 stört,  sonst wären es 4 * 8 gewesen.",
         "No points, because 4 is misplaced, otherwise it had been 4 * 8."},
        {"Button", kText, "&Ok", "&Ok"},
    });
    for (const std::uint32_t language : {kGerman, kEnglish}) {
        SetLanguage(language);
        EXPECT_EQ(SuitabilityText().toStdString(),
                  language == kGerman
                      ? "Vessrin ist für Spieler ab 10 Jahren geeignet."
                      : "Orvanel is suitable for players of at least 10 years age.");
    }
}

TEST_F(TextsTest, PortDialogAndTheMessagesOfTheServicesFileCodes) {
    Check<TPortForm>({
        {nullptr, kCaption, "Vessrin socket port", "Orvanel socket port"},
        {"Beschreibung", kText,
         "Bitte einigen Sie sich mit Ihren Mitspielern und dem Netzwerk Verwalter auf einen UDP "
         "Port und tragen Sie ihn auf allen Rechnern gleich ein oder hinterlassen Sie das "
         "Eingabefeld leer, um nicht im Netzwerk zu spielen..",
         "Please agree with the other players and the network administrator about a UDP port and "
         "enter the same on all PCs or leave the data field blank for not playing in the "
         "network."},
        {"PortName", kText, "Vessrin", "Vessrin"},
        {"Label2", kText, "/udp", "/udp"},
        {"BtnOk", kText, "&Ok", "&Ok"},
        {"BtnCancel", kText, "&Abbruch", "&Cancel"},
    });
    const struct {
        int code;
        const char* german;
        const char* english;
    } codes[] = {
        {1, "Services Datei nicht gefunden", "services file not found"},
        {2, "Kann temporäre Services Datei nicht erzeugen",
         "Cannot create temporary services file"},
        {3, "Kann Services Datei nicht beschreiben", "Cannot write to services file"},
        {4, "Kann temporäre Services Datei nicht in endgültige umbenennen",
         "Cannot rename temporary services file back to original"},
        {5, "ungültige Pfad Länge beim Beschreiben der Services Datei",
         "invalid path len on writing to the services file"},
        {6, "unbekannter Fehler beim Eintragen in die Services Datei",
         "unknown error on writing to the services file"},
        {255, "unbekannter Fehler beim Eintragen in die Services Datei",
         "unknown error on writing to the services file"},
    };
    for (const std::uint32_t language : {kGerman, kEnglish}) {
        SetLanguage(language);
        for (const auto& c : codes)
            EXPECT_EQ(ServicesCodeText(static_cast<std::uint8_t>(c.code)).toStdString(),
                      language == kGerman ? c.german : c.english)
                << "code " << c.code;
    }
}

} // namespace
