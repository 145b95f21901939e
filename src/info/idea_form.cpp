// The idea window: seven lines of credits and an Ok button.
#include "info/idea_form.h"

#include <QLabel>
#include <QPushButton>

#include "platform/language.h"
#include "platform/placement.h"

namespace {

const char* const kPlacementSection = "IdeaForm";

// The credits are invented for this program; the second line (the rights
// holder) reads the same in both languages and has no English entry.
struct tCreditLine {
    const char* German;
    const char* English;
};
constexpr tCreditLine kLines[7] = {
    {"Spielidee: Ida Musterfrau", "Game idea: Ida Musterfrau"},
    {"\xC2\xA9 Spielwerkstatt Musterstadt", nullptr},
    {"Erschienen als Brettspiel in der Schachtel", "Published as a board game in a box"},
    {"Verlag: Beispielverlag Musterhausen", "Publisher: Beispielverlag Musterhausen"},
    {"Illustrationen: Max Mustermann", "Illustrations: Max Mustermann"},
    {"Auf der Auswahlliste zum \xE2\x80\x9EGoldenen Sechseck\xE2\x80\x9C",
     "Shortlisted for the \"Golden Hexagon\""},
    {"der Spielerunde Musterstadt", "of the Musterstadt games circle"},
};

} // namespace

TIdeaForm::TIdeaForm(QWidget* parent) : tStayOnTopDialog(parent) {
    setObjectName(QStringLiteral("IdeaForm"));
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    setFixedSize(345, 148);
    setWindowTitle(QStringLiteral("Vessrin Idee"));

    Button1 = new QPushButton(QStringLiteral("&Ok"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(128, 120, 89, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

    for (std::size_t i = 0; i < Labels.size(); ++i) {
        auto* label = new QLabel(QString::fromUtf8(kLines[i].German), this);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        label->move(8, 8 + 16 * static_cast<int>(i));
        Labels[i] = label;
    }
    Button1->setFocus();
    FormCreate();
}

void TIdeaForm::FormCreate() {
    if (!IsGerman()) {
        setWindowTitle(QStringLiteral("Orvanel idea"));
        for (std::size_t i = 0; i < Labels.size(); ++i)
            if (kLines[i].English != nullptr)
                Labels[i]->setText(QString::fromUtf8(kLines[i].English));
    }
    for (QLabel* label : Labels)
        label->adjustSize();
    RestorePlacement(this, kPlacementSection);
}

void TIdeaForm::done(int result) {
    SavePlacement(this, kPlacementSection);
    tStayOnTopDialog::done(result);
}
