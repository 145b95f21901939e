// The colours window: bars, preview tiles, the colour dialog and writing the colours.
#include "settings/colors_form.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <algorithm>

#include "core/color_texts.h"
#include "game/bar.h"
#include "game/hexagon.h"
#include "game/qt_colors.h"
#include "platform/language.h"
#include "platform/placement.h"
#include "platform/settings_file.h"

namespace {

const char* const kPlacementSection = "ColorsForm";
constexpr int kBackgroundItem = 9;
constexpr int kShadowItem = 10;
constexpr int kLightItem = 11;

tColor& Entry(tColorSet& set, int item) {
    if (item >= 0 && item <= 8)
        return set.LineColors[static_cast<std::size_t>(item + 1)];
    if (item == kShadowItem)
        return set.ShadowColor;
    if (item == kLightItem)
        return set.LightColor;
    return set.BackgroundColor;
}

QColor RunQtColorDialog(const QColor& preset, QWidget* parent) {
    // Qt's own dialog: it shows the custom colours we fill in; a desktop
    // dialog would not.
    QColorDialog dialog(preset, parent);
    dialog.setOption(QColorDialog::DontUseNativeDialog, true);
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (dialog.exec() == QDialog::Accepted && dialog.selectedColor().isValid())
        return dialog.selectedColor();
    return QColor();
}

} // namespace

TColorsForm::TColorsForm(QWidget* parent)
    : tStayOnTopDialog(parent), FWorking(SharedColors()), FRunColorDialog(RunQtColorDialog) {
    setObjectName(QStringLiteral("ColorsForm"));
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    setFixedSize(413, 326);
    setWindowTitle(QStringLiteral("Vessrin Farben"));
    setMouseTracking(true);

    // Buttons first: Ok leads the tab order.
    OkButton = new QPushButton(QStringLiteral("&Ok"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setGeometry(344, 296, 65, 25);
    OkButton->setDefault(true);
    WindowsButton = new QPushButton(QStringLiteral("&Windows Hintergrund"), this);
    WindowsButton->setObjectName(QStringLiteral("WindowsButton"));
    WindowsButton->setGeometry(272, 232, 137, 25);
    StandardButton = new QPushButton(QStringLiteral("&Standard Linien"), this);
    StandardButton->setObjectName(QStringLiteral("StandardButton"));
    StandardButton->setGeometry(272, 264, 137, 25);
    FarbeButton = new QPushButton(QStringLiteral("&Einstellen"), this);
    FarbeButton->setObjectName(QStringLiteral("FarbeButton"));
    FarbeButton->setGeometry(272, 296, 65, 25);
    connect(OkButton, &QPushButton::clicked, this, &TColorsForm::OkButtonClick);
    connect(WindowsButton, &QPushButton::clicked, this, &TColorsForm::WindowsButtonClick);
    connect(StandardButton, &QPushButton::clicked, this, &TColorsForm::StandardButtonClick);
    connect(FarbeButton, &QPushButton::clicked, this, &TColorsForm::FarbeButtonClick);

    Farbe = new QGroupBox(QStringLiteral("&Farbe"), this);
    Farbe->setObjectName(QStringLiteral("Farbe"));
    // Wider than the first design's 89 pixels, reaching left up to the bars:
    // "Hintergrund" needs the room in the desktop fonts here.
    Farbe->setGeometry(315, 8, 95, 217);
    // A narrow gap after the circle lets "Hintergrund" fit the group's width.
    Farbe->setStyleSheet(QStringLiteral("QRadioButton { spacing: 3px; }"));
    FarbeItems = new QButtonGroup(this);
    // The rows start where the style's frame below the caption leaves room;
    // the design's 16 would let the frame cut the first circle.
    Farbe->ensurePolished();
    const int firstRow = std::max(16, Farbe->contentsRect().top());
    const char* const items[12] = {"1", "2", "3", "4",           "5",        "6",
                                   "7", "8", "9", "Hintergrund", "Schatten", "Licht"};
    for (int i = 0; i < 12; ++i) {
        auto* radio = new QRadioButton(QString::fromUtf8(items[i]), Farbe);
        radio->setObjectName(QStringLiteral("FarbeItem%1").arg(i));
        radio->setGeometry(4, firstRow + 16 * i, 90, 16);
        FarbeItems->addButton(radio, i);
    }
    FarbeItems->button(0)->setChecked(true);

    // Preview: six honeycomb columns of five and four tiles; the first 13
    // tiles highlighted, the rest plain, so both faces show.
    int tile = 0;
    for (int column = 0; column < 6; ++column) {
        const bool odd = column % 2 == 1;
        for (int row = 0; row < (odd ? 4 : 5); ++row, ++tile) {
            auto* hexagon = new tHexagon(this);
            hexagon->setObjectName(QStringLiteral("Hexagon%1").arg(tile + 1));
            hexagon->setGeometry(8 + 40 * column, (odd ? 40 : 8) + 64 * row, 49, 49);
            hexagon->Init(static_cast<thxNummer>(tile), tile < 13 ? hxHighlight : hxVisible);
            Hexagons[static_cast<std::size_t>(tile)] = hexagon;
        }
    }

    auto makeBar = [this](const QString& name, int x, int y, int w, int h) {
        auto* bar = new tBar(this);
        bar->setObjectName(name);
        bar->setGeometry(x, y, w, h);
        return bar;
    };
    BarBackground2 = makeBar(QStringLiteral("BarBackground2"), 264, 28, 49, 137);
    BarLight2 = makeBar(QStringLiteral("BarLight2"), 264, 28, 25, 137);
    for (int n = 1; n <= 9; ++n)
        Bars[static_cast<std::size_t>(n - 1)] =
            makeBar(QStringLiteral("Bar%1").arg(n), 272, 28 + 16 * (n - 1), 33, 9);
    Bars[kBackgroundItem] = makeBar(QStringLiteral("BarBackground1"), 272, 172, 33, 9);
    Bars[kShadowItem] = makeBar(QStringLiteral("BarShadow"), 272, 188, 33, 9);
    Bars[kLightItem] = makeBar(QStringLiteral("BarLight1"), 272, 204, 33, 9);
    for (tBar* bar : Bars) {
        connect(bar, &tBar::mousePressed, this, &TColorsForm::BarMouseDown);
        connect(bar, &tBar::mouseReleased, this, &TColorsForm::BarMouseUp);
        connect(bar, &tBar::mouseMoved, this, [this](tBar* b, QMouseEvent*) { BarMouseMove(b); });
        connect(bar, &tBar::mouseLeft, this, &TColorsForm::BarMouseLeave);
    }
    for (tBar* backdrop : {BarBackground2, BarLight2})
        connect(backdrop, &tBar::mouseMoved, this, [this](tBar*, QMouseEvent*) { UnLightAll(); });

    setTabOrder(OkButton, WindowsButton);
    setTabOrder(WindowsButton, StandardButton);
    setTabOrder(StandardButton, FarbeButton);
    setTabOrder(FarbeButton, FarbeItems->button(0));
    OkButton->setFocus();

    FormCreate();
}

void TColorsForm::FormCreate() {
    FDialogOpen = false;
    if (!IsGerman()) {
        setWindowTitle(QStringLiteral("Orvanel colors"));
        Farbe->setTitle(QStringLiteral("&Color"));
        FarbeItems->button(kBackgroundItem)->setText(QStringLiteral("Background"));
        FarbeItems->button(kShadowItem)->setText(QStringLiteral("Shadow"));
        FarbeItems->button(kLightItem)->setText(QStringLiteral("Light"));
        WindowsButton->setText(QStringLiteral("&Windows Background"));
        StandardButton->setText(QStringLiteral("&Default line colors"));
        FarbeButton->setText(QStringLiteral("&Adjust"));
    }
    RestorePlacement(this, kPlacementSection);
}

void TColorsForm::showEvent(QShowEvent* event) {
    tStayOnTopDialog::showEvent(event);
    // A window coming back from the task bar is no new showing.
    if (!event->spontaneous())
        FormShow();
}

void TColorsForm::FormShow() {
    FWorking = SharedColors();
    ApplyWorking();
}

bool TColorsForm::SubDialogOpen() const {
    return FDialogOpen || tStayOnTopDialog::SubDialogOpen();
}

int TColorsForm::SelectedEntry() const {
    return FarbeItems->checkedId();
}

void TColorsForm::SelectEntry(int item) {
    if (QAbstractButton* radio = FarbeItems->button(item))
        radio->setChecked(true);
}

void TColorsForm::ApplyWorking() {
    QPalette p = palette();
    p.setColor(QPalette::Window, ToQColor(FWorking.BackgroundColor));
    setPalette(p);
    for (tHexagon* hexagon : findChildren<tHexagon*>())
        hexagon->NewColors(FWorking);
    for (tBar* bar : findChildren<tBar*>())
        bar->NewColors(FWorking);
    update();
    for (QWidget* child : findChildren<QWidget*>())
        child->update();
}

void TColorsForm::EditEntry(int item) {
    if (item < 0 || item > kLightItem)
        return;
    const QPalette& palette = QGuiApplication::palette();
    const std::array<tColor, 12> custom = CustomColorOrder(FWorking);
    for (std::size_t i = 0; i < custom.size(); ++i)
        QColorDialog::setCustomColor(static_cast<int>(i), ToQColor(custom[i], palette));
    const QColor preset = ToQColor(Entry(FWorking, item), palette);

    FDialogOpen = true;
    const QColor chosen = FRunColorDialog ? FRunColorDialog(preset, this) : QColor();
    FDialogOpen = false;

    // Cancel keeps the stored value itself, so a system colour keeps
    // following the desktop instead of freezing into its present RGB.
    const QColor rgb = chosen.isValid() ? chosen : preset;
    if (chosen.isValid())
        Entry(FWorking, item) = MakeColor(rgb.red(), rgb.green(), rgb.blue());
    // Even a cancelled dialog re-derives the edges from the background.
    if (item == kBackgroundItem) {
        const tColor background = MakeColor(rgb.red(), rgb.green(), rgb.blue());
        FWorking.LightColor = LightFromBackground(background);
        FWorking.ShadowColor = ShadowFromBackground(background);
    }
    ApplyWorking();
}

void TColorsForm::FarbeButtonClick() {
    EditEntry(SelectedEntry());
}

void TColorsForm::StandardButtonClick() {
    SetDefaultLineColors(FWorking);
    ApplyWorking();
}

void TColorsForm::WindowsButtonClick() {
    SetWindowsFrameColors(FWorking);
    ApplyWorking();
}

void TColorsForm::OkButtonClick() {
    SharedColors() = FWorking;
    accept();
}

void TColorsForm::WriteColors() {
    try {
        for (const tColorEntryText& text : ColorSetTexts(FWorking))
            WriteProfileString("Colors", text.Key, text.Value);
    } catch (const tWriteError& error) {
        // Reported, and the window still closes: keeping it open would only
        // repeat the refused write at every further attempt to close it.
        ReportWriteError(error, windowTitle());
    }
}

void TColorsForm::done(int result) {
    WriteColors();
    SavePlacement(this, kPlacementSection);
    tStayOnTopDialog::done(result);
    if (result == QDialog::Accepted)
        emit colorsApplied();
}

int TColorsForm::ItemOfBar(const tBar* bar) const {
    for (std::size_t i = 0; i < Bars.size(); ++i)
        if (Bars[i] == bar)
            return static_cast<int>(i);
    return -1;
}

void TColorsForm::UnLightAll() {
    for (tBar* bar : Bars)
        bar->UnLight();
}

void TColorsForm::BarMouseDown(tBar* bar, QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
        bar->Down();
}

void TColorsForm::BarMouseUp(tBar* bar, QMouseEvent* event) {
    const bool pressed = bar->Up();
    // A press that ends off the bar is no click on it.
    if (!bar->rect().contains(event->position().toPoint()))
        return;
    const int item = ItemOfBar(bar);
    if (event->button() == Qt::LeftButton) {
        SelectEntry(item);
    } else if (event->button() == Qt::RightButton && pressed) {
        SelectEntry(item);
        EditEntry(item);
    }
}

void TColorsForm::BarMouseMove(tBar* bar) {
    bar->Mark();
    UnLightAll();
    bar->HiLight();
}

void TColorsForm::BarMouseLeave(tBar* bar) {
    // A bar held down keeps its state until the button comes up.
    if (bar->Bevel() != tBar::bvSunken)
        bar->UnLight();
}

void TColorsForm::mouseMoveEvent(QMouseEvent* event) {
    UnLightAll();
    tStayOnTopDialog::mouseMoveEvent(event);
}
