// The strategy window: a scoring rising line of sixes and a falling line broken by a 4.
#include "info/strategy_form.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "core/colors.h"
#include "game/hexagon.h"
#include "game/qt_colors.h"
#include "platform/language.h"
#include "platform/placement.h"

namespace {

const char* const kPlacementSection = "StrategyForm";

struct tExampleCell {
    int Left;
    int Top;
    thxNummer Tile;
};
// Rising line: 6 on all three; falling line: 8, 4, 8.
constexpr tExampleCell kCells[6] = {{4, 112, 4},   {44, 80, 23},   {84, 48, 21},
                                    {84, 112, 24}, {124, 144, 11}, {164, 176, 22}};

} // namespace

TStrategyForm::TStrategyForm(QWidget* parent) : tStayOnTopDialog(parent) {
    setObjectName(QStringLiteral("StrategyForm"));
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    setFixedSize(385, 229);
    setWindowTitle(QStringLiteral("Vessrin Strategie"));

    Button = new QPushButton(QStringLiteral("&Ok"), this);
    Button->setObjectName(QStringLiteral("Button"));
    Button->setGeometry(12, 200, 89, 25);
    Button->setDefault(true);
    connect(Button, &QPushButton::clicked, this, &QDialog::accept);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 8, 282, 26);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setText(QStringLiteral("Kombinieren Sie m\u00F6glichst viele Linien aller drei "
                                   "Richtungen durchgehend in gleicher Wertigkeit."));
    Label2 = new QLabel(QStringLiteral("3 Steine * 6 = 18 Punkte."), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(140, 40);
    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    // Three lines of text need more than the first design's 26 pixels.
    Label3->setGeometry(220, 176, 146, 50);
    Label3->setWordWrap(true);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label3->setText(
        QStringLiteral("Keine Punkte, weil die 4 st\u00F6rt,  sonst w\u00E4ren es 4 * 8 gewesen."));

    for (std::size_t i = 0; i < Hexagons.size(); ++i) {
        auto* hexagon = new tHexagon(this);
        hexagon->setObjectName(QStringLiteral("Hexagon%1").arg(i + 1));
        hexagon->setGeometry(kCells[i].Left, kCells[i].Top, 49, 49);
        hexagon->Init(kCells[i].Tile, hxVisible);
        Hexagons[i] = hexagon;
    }
    Button->setFocus();
    FormCreate();
}

void TStrategyForm::FormCreate() {
    ApplyBackground();
    if (!IsGerman()) {
        setWindowTitle(QStringLiteral("Orvanel strategy"));
        Label1->setText(QStringLiteral("Combine as many as possible lines of all three directions "
                                       "in througout the same value."));
        Label2->setText(QStringLiteral("3 chips of 6 = 18 points."));
        Label3->setText(
            QStringLiteral("No points, because 4 is misplaced, otherwise it had been 4 * 8."));
    }
    Label2->adjustSize();
    RestorePlacement(this, kPlacementSection);
}

void TStrategyForm::ApplyBackground() {
    QPalette p = palette();
    p.setColor(QPalette::Window, ToQColor(SharedColors().BackgroundColor));
    setPalette(p);
}

void TStrategyForm::showEvent(QShowEvent* event) {
    tStayOnTopDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TStrategyForm::FormShow() {
    ApplyBackground();
    for (tHexagon* hexagon : Hexagons) {
        hexagon->NewColors(SharedColors());
        hexagon->update();
    }
}

void TStrategyForm::done(int result) {
    SavePlacement(this, kPlacementSection);
    tStayOnTopDialog::done(result);
}
