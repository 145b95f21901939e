// Saving, restoring and clamping window placements.
#include "platform/placement.h"

#include "platform/settings_file.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

QSize ScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        throw std::runtime_error("no screen");
    return screen->availableGeometry().size();
}

// Hand-edited values may be anything; keep them in a range where the
// clamping arithmetic cannot overflow.
int ToInt(std::int64_t v) {
    constexpr std::int64_t kLimit = 1000000000;
    return static_cast<int>(std::clamp<std::int64_t>(v, -kLimit, kLimit));
}

} // namespace

bool IsResizable(const QWidget* form) {
    return form->minimumSize() != form->maximumSize();
}

int WindowStateOf(const QWidget* form) {
    const Qt::WindowStates s = form->windowState();
    if (s & Qt::WindowMinimized)
        return 1;
    if (s & Qt::WindowMaximized)
        return 2;
    return 0;
}

void SetWindowStateOf(QWidget* form, int state) {
    const Qt::WindowStates others =
        form->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    switch (state) {
    case 0:
        form->setWindowState(others);
        break;
    case 1:
        form->setWindowState(others | Qt::WindowMinimized);
        break;
    case 2:
        form->setWindowState(others | Qt::WindowMaximized);
        break;
    default:
        break;
    }
}

bool SavePlacement(QWidget* form, const std::string& section) {
    try {
        const bool resizable = IsResizable(form);
        const int state = WindowStateOf(form);
        if (resizable)
            WriteProfileInt(section, "WindowState", state);
        if (state == 0) {
            WriteProfileInt(section, "Top", form->y());
            WriteProfileInt(section, "Left", form->x());
            if (resizable) {
                WriteProfileInt(section, "Height", form->height());
                WriteProfileInt(section, "Width", form->width());
            }
        }
        return true;
    } catch (...) {
        return false;
    }
}

bool RestorePlacement(QWidget* form, const std::string& section) {
    try {
        QSize area;
        if (const QWidget* parent = form->parentWidget(); parent != nullptr && !form->isWindow())
            area = parent->size();
        else
            area = ScreenSize();
        const int centredLeft = (area.width() - form->width()) / 2;
        const int centredTop = (area.height() - form->height()) / 2;
        const int width = ToInt(ReadProfileInt(section, "Width", form->width()));
        const int height = ToInt(ReadProfileInt(section, "Height", form->height()));
        const int state = ToInt(ReadProfileInt(section, "WindowState", WindowStateOf(form)));
        const int top = ToInt(ReadProfileInt(section, "Top", centredTop));
        const int left = ToInt(ReadProfileInt(section, "Left", centredLeft));
        ApplyPlacement(form, left, top, width, height, state);
        return true;
    } catch (...) {
        return false;
    }
}

void ApplyPlacement(QWidget* form, int left, int top, int width, int height, int state) {
    const QSize screen = ScreenSize();
    const std::int64_t sw = screen.width();
    const std::int64_t sh = screen.height();
    std::int64_t h = std::min<std::int64_t>(height, sh);
    std::int64_t w = std::min<std::int64_t>(width, sw);
    std::int64_t l = std::max<std::int64_t>(left, 100 - w);
    l = std::min<std::int64_t>(l, sw - 100);
    std::int64_t t = std::max<std::int64_t>(top, 0);
    t = std::min<std::int64_t>(t, sh - 100);
    form->move(static_cast<int>(l), static_cast<int>(t));
    if (IsResizable(form)) {
        h = std::max<std::int64_t>(h, 0);
        w = std::max<std::int64_t>(w, 0);
        form->resize(form->width(), static_cast<int>(h));
        form->resize(static_cast<int>(w), form->height());
        SetWindowStateOf(form, state);
    }
}

tChildPlacement FitChildPlacement(const tChildPlacement& saved, int clientHeight, int clientWidth) {
    tChildPlacement p = saved;
    p.Height = std::min(p.Height, clientHeight - 4);
    p.Width = std::min(p.Width, clientWidth);
    if (static_cast<std::int64_t>(p.Top) + p.Height > clientHeight)
        p.Top = 0;
    if (static_cast<std::int64_t>(p.Left) + p.Width > clientWidth)
        p.Left = 0;
    return p;
}
