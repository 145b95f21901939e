// The line label: scores a line through the core rules and shows the result.
#include "game/pkte_label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>

#include "core/scoring.h"
#include "game/hexagon.h"
#include "game/qt_colors.h"
#include "platform/language.h"

namespace {

class tPkteLabelAccessible : public QAccessibleWidget {
public:
    explicit tPkteLabelAccessible(tPkteLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        const auto* label = static_cast<const tPkteLabel*>(object());
        if (t == QAccessible::Name)
            return label->AccessibleName();
        if (t == QAccessible::Description)
            return label->AccessibleDescription();
        if (t == QAccessible::Value)
            return label->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* PkteLabelAccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("tPkteLabel") && object && object->isWidgetType())
        return new tPkteLabelAccessible(static_cast<tPkteLabel*>(object));
    return nullptr;
}

} // namespace

tPkteLabel::tPkteLabel(QWidget* parent) : QLabel(parent), FColors(SharedColors()) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(PkteLabelAccessibleFactory);
        return true;
    }();
    (void)factoryInstalled;
    QFont f = font();
    f.setPointSize(8);
    f.setBold(true);
    f.setItalic(true);
    setFont(f);
    setAutoFillBackground(true);
    setText(QStringLiteral("0"));
    FBackColor = FColors.BackgroundColor;
    ApplyColors();
    FitToCaption();
}

std::uint16_t tPkteLabel::Calculate(tHexagon* e1, tHexagon* e2, tHexagon* e3, tHexagon* e4,
                                    tHexagon* e5, std::uint8_t direction, std::uint8_t mode) {
    const bool ownElements = mode == kModeDemoPoints || mode == kModeDemoQuality;
    tLineTally tally;
    auto countCell = [&](tHexagon* element) {
        tHexagon* examined = ownElements || !element ? element : element->GetOccupation();
        if (examined && examined->Style() != hxEmpty)
            tally.CountTile(examined->GetLine(direction));
    };
    std::uint16_t length = 3;
    countCell(e1);
    countCell(e2);
    countCell(e3);
    if (e4) {
        length = 4;
        countCell(e4);
    }
    if (e5) {
        length = 5;
        countCell(e5);
    }
    const std::uint16_t score = LineScore(tally, length, mode);
    LineValue = tally.LineValue;
    FDirection = direction;
    FMode = mode;
    FComplete = tally.k == length;

    tColor fontColor = kSysWindowText;
    tColor backColor = FColors.BackgroundColor;
    bool italic = true;
    if (LineValue >= 1 && LineValue <= 9) {
        fontColor = FColors.LineColors[static_cast<std::size_t>(LineValue)];
        italic = tally.k < length;
    } else if (LineValue == -1) {
        backColor = FColors.LightColor;
        italic = false;
    }

    // Only what changed is handed to the label: a whole board is scored on
    // every trial move, and restyling a label costs far more than scoring it.
    if (fontColor != FFontColor || backColor != FBackColor) {
        FFontColor = fontColor;
        FBackColor = backColor;
        ApplyColors();
    }
    const bool fontChanged = italic != FItalic;
    if (fontChanged)
        ApplyItalic(italic);
    if (score != FShown)
        SetCaption(score);
    else if (fontChanged)
        FitToCaption();
    return score;
}

void tPkteLabel::NewColors() {
    FColors = SharedColors();
    if (LineValue >= 1 && LineValue <= 9)
        FFontColor = FColors.LineColors[static_cast<std::size_t>(LineValue)];
    FBackColor = LineValue == -1 ? FColors.LightColor : FColors.BackgroundColor;
    ApplyColors();
}

QString tPkteLabel::AccessibleName() const {
    const bool quality =
        FMode == kModeQualityEarly || FMode == kModeQualityLate || FMode == kModeDemoQuality;
    if (quality)
        return Tr("%1: Bewertung %2", "%1: quality %2").arg(objectName(), text());
    return Tr("%1: %2 Punkte", "%1: %2 points").arg(objectName(), text());
}

QString tPkteLabel::AccessibleDescription() const {
    const QString direction = FDirection == 0   ? Tr("senkrechte Linie", "vertical line")
                              : FDirection == 1 ? Tr("steigende Linie", "rising line")
                                                : Tr("fallende Linie", "falling line");
    QString state;
    if (LineValue == -1)
        state = Tr("unterbrochen", "broken");
    else if (LineValue == 0)
        state = Tr("leer", "empty");
    else if (FComplete)
        state = Tr("vollständig, Wert %1", "complete, value %1").arg(LineValue);
    else
        state = Tr("offen, Wert %1", "open, value %1").arg(LineValue);
    return direction + QStringLiteral(", ") + state;
}

void tPkteLabel::SetLineAlignment(std::uint8_t direction) {
    FDirection = direction;
    if (direction == 0)
        setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    else if (direction == 1)
        setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    else
        setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void tPkteLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    // System colours were resolved when they were set; follow a new desktop scheme.
    if (event->type() == QEvent::ApplicationPaletteChange)
        ApplyColors();
}

void tPkteLabel::SetCaption(std::uint16_t score) {
    FShown = score;
    setText(QString::number(score));
    FitToCaption();
}

void tPkteLabel::ApplyItalic(bool italic) {
    FItalic = italic;
    QFont f = font();
    f.setItalic(italic);
    setFont(f);
}

void tPkteLabel::ApplyColors() {
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, ToQColor(FFontColor));
    pal.setColor(QPalette::Window, ToQColor(FBackColor));
    setPalette(pal);
}

void tPkteLabel::FitToCaption() {
    // A right-aligned score keeps its right edge next to the end of its
    // line; centred and left-aligned ones keep their left edge, which is
    // where the board's layout put them.
    const QSize size = sizeHint();
    const QRect old = geometry();
    int left = old.x();
    if (alignment() & Qt::AlignRight)
        left = old.x() + old.width() - size.width();
    setGeometry(left, old.y(), size.width(), size.height());
}
