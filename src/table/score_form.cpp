// The high-score window: five read-only rows of name and points.
#include "table/score_form.h"

#include "platform/language.h"
#include "platform/placement.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

namespace {
const char* const kPlacementSection = "ScoreForm";
}

TScoreForm::TScoreForm(QWidget* parent) : tStayOnTopDialog(parent) {
    setObjectName(QStringLiteral("ScoreForm"));
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    setFixedSize(207, 171);
    setWindowTitle(QStringLiteral("Vessrin Bestenliste"));

    Button = new QPushButton(QStringLiteral("&Ok"), this);
    Button->setObjectName(QStringLiteral("Button"));
    Button->setGeometry(56, 144, 97, 25);
    Button->setDefault(true);
    connect(Button, &QPushButton::clicked, this, &QDialog::accept);

    Name = new QLabel(QStringLiteral("Name"), this);
    Name->setObjectName(QStringLiteral("Name"));
    Name->move(8, 8);
    Punkte = new QLabel(QStringLiteral("Punkte"), this);
    Punkte->setObjectName(QStringLiteral("Punkte"));
    Punkte->move(160, 8);

    // Read-only fields look like the window, not like something to type into.
    QPalette fieldPalette = palette();
    fieldPalette.setColor(QPalette::Base, fieldPalette.color(QPalette::Window));
    QWidget* previous = Button;
    for (int n = 0; n < 5; ++n) {
        const int y = 24 + 24 * n;
        QLineEdit* name = new QLineEdit(this);
        name->setObjectName(QStringLiteral("Name%1").arg(n + 1));
        name->setGeometry(8, y, 145, 21);
        QLineEdit* points = new QLineEdit(this);
        points->setObjectName(QStringLiteral("Punkte%1").arg(n + 1));
        points->setGeometry(160, y, 41, 21);
        points->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        for (QLineEdit* field : {name, points}) {
            field->setReadOnly(true);
            field->setPalette(fieldPalette);
            setTabOrder(previous, field);
            previous = field;
        }
        Names[static_cast<std::size_t>(n)] = name;
        Points[static_cast<std::size_t>(n)] = points;
    }
    Button->setFocus();

    FormCreate();
}

void TScoreForm::FormCreate() {
    RestorePlacement(this, kPlacementSection);
    if (!IsGerman()) {
        setWindowTitle(QStringLiteral("Orvanel high score"));
        Name->setText(QStringLiteral("name"));
        Punkte->setText(QStringLiteral("points"));
    }
    Name->adjustSize();
    Punkte->adjustSize();
    SetScores(tHighScore{});
}

void TScoreForm::SetScores(const tHighScore& list) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        Names[i]->setText(QString::fromStdString(list[i].Name));
        Points[i]->setText(QString::number(list[i].Points));
    }
}

void TScoreForm::done(int result) {
    SavePlacement(this, kPlacementSection);
    tStayOnTopDialog::done(result);
}
