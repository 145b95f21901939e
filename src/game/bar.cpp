// The colour bar: its colour by name, its bevel states and its painting.
#include "game/bar.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

#include "game/qt_colors.h"

namespace {

QString BarSuffix(const QString& objectName) {
    return objectName.startsWith(QLatin1String("Bar")) ? objectName.mid(3) : QString();
}

// 1..9 for a numbered bar, 0 otherwise.
int BarNumber(const QString& objectName) {
    const QString suffix = BarSuffix(objectName);
    if (suffix.size() != 1 || suffix[0] < QLatin1Char('1') || suffix[0] > QLatin1Char('9'))
        return 0;
    return suffix[0].unicode() - '0';
}

} // namespace

tColor BarColor(const QString& objectName, const tColorSet& colors) {
    if (const int n = BarNumber(objectName))
        return colors.LineColors[static_cast<std::size_t>(n)];
    const QString suffix = BarSuffix(objectName);
    if (suffix == QLatin1String("Shadow"))
        return colors.ShadowColor;
    if (suffix == QLatin1String("Light1") || suffix == QLatin1String("Light2"))
        return colors.LightColor;
    return colors.BackgroundColor;
}

bool IsNumberedBar(const QString& objectName) {
    return BarNumber(objectName) != 0;
}

tBar::tBar(QWidget* parent) : QWidget(parent), FColors(SharedColors()) {
    // Moves without a button raise the bar under the mouse.
    setMouseTracking(true);
}

void tBar::SetBevel(tBevel bevel) {
    if (FBevel == bevel)
        return;
    FBevel = bevel;
    update();
}

void tBar::HiLight() {
    if (FBevel == bvFlat)
        SetBevel(bvRaised);
    FMarked = false;
}

void tBar::UnLight() {
    if (!FMarked && FBevel != bvFlat)
        SetBevel(bvFlat);
}

void tBar::Down() {
    SetBevel(bvSunken);
}

bool tBar::Up() {
    const bool pressed = FBevel == bvSunken;
    FBevel = bvFlat;
    update();
    HiLight();
    return pressed;
}

void tBar::NewColors(const std::array<tColor, 10>& lineColors, tColor background, tColor light,
                     tColor shadow) {
    FColors.LineColors = lineColors;
    FColors.BackgroundColor = background;
    FColors.LightColor = light;
    FColors.ShadowColor = shadow;
}

void tBar::NewColors(const tColorSet& colors) {
    FColors = colors;
}

void tBar::paintEvent(QPaintEvent*) {
    const QPalette& palette = QGuiApplication::palette();
    const int w = width();
    const int h = height();
    QPainter p(this);
    p.fillRect(rect(), ToQColor(BarColor(objectName(), FColors), palette));
    if (w <= 0 || h <= 0)
        return;
    if (FBevel == bvFlat) {
        if (!IsNumberedBar(objectName())) {
            p.setPen(Qt::black);
            p.drawRect(0, 0, w - 1, h - 1);
        }
        return;
    }
    // Raised: light from the top left, shadow at the bottom right; sunken the reverse.
    const QColor light = ToQColor(FColors.LightColor, palette);
    const QColor shadow = ToQColor(FColors.ShadowColor, palette);
    const bool raised = FBevel == bvRaised;
    p.setPen(raised ? light : shadow);
    p.drawLine(0, h - 1, 0, 0);
    p.drawLine(0, 0, w - 1, 0);
    p.setPen(raised ? shadow : light);
    p.drawLine(w - 1, 0, w - 1, h - 1);
    p.drawLine(w - 1, h - 1, 0, h - 1);
}

void tBar::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(this, event);
}

void tBar::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseReleased(this, event);
}

void tBar::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(this, event);
}

void tBar::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    emit mouseLeft(this);
}
