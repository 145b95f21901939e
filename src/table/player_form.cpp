// The player name dialog: known names, button states, deleting and remembering names.
#include "table/player_form.h"

#include <QCompleter>

#include "platform/language.h"
#include "platform/placement.h"
#include "platform/settings_file.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string>

namespace {

const char* const kSection = "Names";
const char* const kPlacementSection = "PlayerForm";
constexpr int kMaxNameLength = 19;
constexpr int kClientWidth = 297;
constexpr int kClientHeight = 140;
constexpr int kInstructionHeight = 65;

// "00", "01", ..., "99", "100": at least two digits.
std::string NameKey(int index) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", index);
    return buf;
}

} // namespace

TPlayerForm::TPlayerForm(QWidget* parent) : tStayOnTopDialog(parent) {
    setObjectName(QStringLiteral("PlayerForm"));
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    setFixedSize(kClientWidth, kClientHeight);
    setWindowTitle(QString::fromUtf8("Vessrin Spieler"));

    Anleitung = new QLabel(this);
    Anleitung->setObjectName(QStringLiteral("Anleitung"));
    Anleitung->setGeometry(8, 8, 279, kInstructionHeight);
    Anleitung->setWordWrap(true);
    Anleitung->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Anleitung->setText(QString::fromUtf8(
        "Geben Sie Ihren Namen ein oder wählen Sie aus der Liste. \"PC\" läßt den Computer "
        "spielen. \"\\\\\"(PC Name) lädt einen anderen Computer zum Mitspielen ein. Rufen Sie "
        "diesen Dialog nochmals auf, wenn mehrere Spieler gegeneinander antreten sollen."));

    Label1 = new QLabel(QStringLiteral("Name"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(8, 84);
    Label1->adjustSize();

    Spieler = new QComboBox(this);
    Spieler->setObjectName(QStringLiteral("Spieler"));
    Spieler->setEditable(true);
    // Only exactly "PC" is the computer: the completer must not turn a typed "pc" into the list
    // entry.
    Spieler->completer()->setCaseSensitivity(Qt::CaseSensitive);
    // The list is kept sorted by AddName; typing and Return must not add to it,
    // since only the trimmed name is remembered, and only on closing.
    Spieler->setInsertPolicy(QComboBox::NoInsert);
    Spieler->setDuplicatesEnabled(true);
    Spieler->lineEdit()->setMaxLength(kMaxNameLength);
    // The desktop font's "Name" fills the design's room before the box: the
    // box starts a gap after it and keeps its right edge; the caption stands
    // on the box's text line.
    const int left = std::max(40, Label1->geometry().right() + 5);
    Spieler->setGeometry(left, 82, 185 - left, Spieler->sizeHint().height());
    Label1->move(8, Spieler->y() + (Spieler->height() - Label1->height()) / 2);
    Label1->setBuddy(Spieler);

    OkButton = new QPushButton(QStringLiteral("&Ok"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setGeometry(80, 110, 105, 25);
    OkButton->setDefault(true);
    OkButton->setEnabled(false);

    CancelButton = new QPushButton(QString::fromUtf8("&Abbruch"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(188, 110, 105, 25);

    ClearButton = new QPushButton(QString::fromUtf8("&Lösche Eintrag"), this);
    ClearButton->setObjectName(QStringLiteral("ClearButton"));
    ClearButton->setGeometry(188, 82, 105, 25);
    ClearButton->setEnabled(false);

    setTabOrder(Spieler, OkButton);
    setTabOrder(OkButton, CancelButton);
    setTabOrder(CancelButton, ClearButton);

    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ClearButton, &QPushButton::clicked, this, &TPlayerForm::ClearButtonClick);
    connect(Spieler, &QComboBox::editTextChanged, this, &TPlayerForm::SpielerChange);

    FormCreate();
}

void TPlayerForm::FormCreate() {
    for (int i = 0;; ++i) {
        const std::string name = ReadProfileString(kSection, NameKey(i), "");
        if (name.empty())
            break;
        AddName(QString::fromStdString(name));
    }
    if (!ListHolds(QStringLiteral("PC")))
        AddName(QStringLiteral("PC"));
    Spieler->setCurrentIndex(-1);
    Spieler->setEditText(QString());
    if (!IsGerman()) {
        setWindowTitle(QStringLiteral("Orvanel player"));
        Anleitung->setText(QStringLiteral(
            "Enter your name or choose from the list. \"PC\" will make the computer play. "
            "\"\\\\\"(PC Name) invites another computer to take part. Call this dialogue again "
            "if more players shall compete."));
        CancelButton->setText(QStringLiteral("&Cancel"));
        ClearButton->setText(QStringLiteral("&Delete entry"));
    }
    FitInstructions();
    RestorePlacement(this, kPlacementSection);
    SpielerChange();
}

void TPlayerForm::FitInstructions() {
    // The instructions were laid out for a narrow bitmap font; with a wider
    // desktop font they need more lines, and cutting them off would hide
    // what "PC" and the two backslashes do. Everything below moves down by the difference.
    const int extra =
        std::max(0, Anleitung->heightForWidth(Anleitung->width()) - kInstructionHeight);
    if (extra == 0)
        return;
    Anleitung->resize(Anleitung->width(), kInstructionHeight + extra);
    for (QWidget* w :
         std::initializer_list<QWidget*>{Label1, Spieler, OkButton, CancelButton, ClearButton})
        w->move(w->x(), w->y() + extra);
    setFixedSize(kClientWidth, kClientHeight + extra);
}

QString TPlayerForm::Text() const {
    return Spieler->currentText();
}

QStringList TPlayerForm::Names() const {
    QStringList names;
    for (int i = 0; i < Spieler->count(); ++i)
        names << Spieler->itemText(i);
    return names;
}

void TPlayerForm::SpielerChange() {
    const QString text = Spieler->currentText();
    const QString t = text.trimmed();
    const QString invite = QStringLiteral("\\\\");
    bool ok;
    bool clear;
    if (t == QLatin1String("PC")) {
        ok = true;
        clear = false;
    } else if (t.startsWith(invite)) {
        clear = true;
        ok = t.size() >= 3 && !t.mid(2).contains(QLatin1Char('\\'));
    } else if (text.contains(QLatin1Char('\\'))) {
        ok = false;
        clear = true;
    } else {
        ok = !t.isEmpty();
        clear = ok;
    }
    OkButton->setEnabled(ok);
    ClearButton->setEnabled(clear);
}

void TPlayerForm::ClearButtonClick() {
    const QString text = Spieler->currentText();
    for (int i = Spieler->count() - 1; i >= 0; --i)
        if (Spieler->itemText(i) == text)
            Spieler->removeItem(i);
    SaveList();
    Spieler->setCurrentIndex(-1);
    Spieler->setEditText(QString());
    SpielerChange();
}

void TPlayerForm::done(int result) {
    const QString t = Spieler->currentText().trimmed();
    if (!t.isEmpty() && !ListHolds(t)) {
        AddName(t);
        SaveList();
    }
    SavePlacement(this, kPlacementSection);
    tStayOnTopDialog::done(result);
}

void TPlayerForm::AddName(const QString& name) {
    // Keeps the list alphabetical; the combo box's own sorting only acts on
    // typed entries, which this dialog does not let it insert.
    int at = 0;
    while (at < Spieler->count() &&
           QString::compare(Spieler->itemText(at), name, Qt::CaseInsensitive) <= 0)
        ++at;
    // Inserting moves the current index; the typed text must stay as it is.
    const QString text = Spieler->currentText();
    Spieler->insertItem(at, name);
    if (Spieler->currentText() != text)
        Spieler->setEditText(text);
}

bool TPlayerForm::ListHolds(const QString& name) const {
    for (int i = 0; i < Spieler->count(); ++i)
        if (Spieler->itemText(i).compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void TPlayerForm::SaveList() {
    // A refused write shows one message; the list stays in memory and the
    // next save writes it whole.
    std::vector<std::pair<std::string, std::string>> entries;
    for (int i = 0; i < Spieler->count(); ++i)
        entries.emplace_back(NameKey(i), Spieler->itemText(i).toStdString());
    try {
        ReplaceProfileSection(kSection, entries);
    } catch (const tWriteError& error) {
        ReportWriteError(error, windowTitle());
    }
}
