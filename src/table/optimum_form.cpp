// The optimal solutions window: spin field, the 19 cells of the chosen board, colours, placement.
#include "table/optimum_form.h"

#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>

#include "core/colors.h"
#include "core/optimal_boards.h"
#include "game/hexagon.h"
#include "game/qt_colors.h"
#include "platform/language.h"
#include "platform/placement.h"

#include <algorithm>

namespace {

const char* const kPlacementSection = "OptimumForm";

// A spin field that lets anything be typed and reads it by the solution rule
// as it is typed: numbers clamp to the range, other text selects the first
// solution. The board follows every keystroke, not only Return or leaving.
class tSolutionSpin : public QSpinBox {
public:
    explicit tSolutionSpin(QWidget* parent) : QSpinBox(parent) {}

protected:
    QValidator::State validate(QString&, int&) const override { return QValidator::Acceptable; }
    void fixup(QString& input) const override { input = QString::number(ValueOf(input)); }
    int valueFromText(const QString& text) const override { return ValueOf(text); }

private:
    int ValueOf(const QString& text) const {
        const int solution = SolutionFromText(text.toStdString());
        return std::clamp(solution, minimum(), maximum());
    }
};

} // namespace

TOptimumForm::TOptimumForm(QWidget* parent) : tStayOnTopDialog(parent) {
    setObjectName(QStringLiteral("OptimumForm"));
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    setFixedSize(263, 320);
    setWindowTitle(QStringLiteral("Vessrin Optimum"));
    setAutoFillBackground(true);

    FBtnOk = new QPushButton(QStringLiteral("&Ok"), this);
    FBtnOk->setObjectName(QStringLiteral("BtnOk"));
    FBtnOk->setGeometry(168, 288, 81, 25);
    FBtnOk->setDefault(true);
    connect(FBtnOk, &QPushButton::clicked, this, &QDialog::accept);

    const tOptimalBoard& first = OptimalBoard(1);
    for (std::size_t i = 0; i < kCellCodes.size(); ++i) {
        const int code = kCellCodes[i];
        const int x = code / 100;
        const int y = (code / 10) % 10;
        auto* cell = new tHexagon(this);
        cell->setObjectName(QStringLiteral("Hexagon") + QString::number(code));
        cell->setGeometry(8 + 48 * (x - 1), 8 + 64 * (y - x / 2) + (x % 2 == 0 ? 32 : 0), 49, 49);
        cell->Init(static_cast<thxNummer>(first[i].Tile), hxVisible);
        FCells[i] = cell;
    }

    FPunkte = new QLabel(this);
    FPunkte->setObjectName(QStringLiteral("Punkte"));
    FPunkte->move(176, 8);

    FSpinEdit = new tSolutionSpin(this);
    FSpinEdit->setObjectName(QStringLiteral("SpinEdit"));
    // Wider than 37 pixels: this style's arrows would leave no room for "16".
    FSpinEdit->setGeometry(4, 4, 45, 22);
    FSpinEdit->setMinimum(1);
    FSpinEdit->setValue(1);
    // The spin field draws on its own base colour, not the board's background.
    FSpinEdit->setAutoFillBackground(true);
    connect(FSpinEdit, qOverload<int>(&QSpinBox::valueChanged), this,
            &TOptimumForm::SpinEditChange);

    setTabOrder(FBtnOk, FSpinEdit);
    FBtnOk->setFocus();
    FormCreate();
}

void TOptimumForm::FormCreate() {
    ApplyColors();
    FPunkte->setText(QString::number(kMaxTotal) + Tr(" Punkte", " points"));
    FPunkte->adjustSize();
    if (!IsGerman())
        setWindowTitle(QStringLiteral("Orvanel optimum"));
    RestorePlacement(this, kPlacementSection);
    FSpinEdit->setMaximum(kOptimalBoardCount);
}

tHexagon* TOptimumForm::Cell(int cellCode) const {
    const int index = CellIndex(cellCode);
    return index < 0 ? nullptr : FCells[static_cast<std::size_t>(index)];
}

void TOptimumForm::SpinEditChange(int solution) {
    FSolution = ClampSolution(solution);
    for (const tOptimalPair& pair : OptimalBoard(FSolution))
        if (tHexagon* cell = Cell(pair.Cell))
            cell->Init(static_cast<thxNummer>(pair.Tile), hxVisible);
}

void TOptimumForm::ApplyColors() {
    const tColorSet& colors = SharedColors();
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToQColor(colors.BackgroundColor));
    setPalette(pal);
    for (tHexagon* cell : FCells) {
        cell->NewColors(colors);
        cell->update();
    }
}

void TOptimumForm::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        ApplyColors();
    tStayOnTopDialog::showEvent(event);
}

void TOptimumForm::done(int result) {
    SavePlacement(this, kPlacementSection);
    tStayOnTopDialog::done(result);
}
