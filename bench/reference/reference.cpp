// The floor for start-up and memory: a bare Qt program shaped like the game's main window.
// With --tick it also does each second what the game's idle window shows: two
// toolbar buttons swap places, and in the seconds between a highlight moves
// over the hexagons while six scores and a group box title change: what the
// same changes cost with Qt's widgets and nothing of the game.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <cmath>

namespace {

// 46 hexagons with three stripes each, as many as a board window shows
// (19 cells and 27 stock places), in the pure stripe colours.
class tHexagons : public QWidget {
public:
    tHexagons() { setMinimumSize(560, 300); }

    // Moves the highlight on and repaints just the two hexagons concerned.
    void MoveHighlight() {
        const int old = FHighlight;
        FHighlight = (FHighlight + 7) % 46;
        update(HexRect(old));
        update(HexRect(FHighlight));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        static const QColor kStripes[3] = {QColor(255, 255, 0), QColor(0, 255, 0),
                                           QColor(255, 0, 255)};
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        for (int i = 0; i < 46; ++i) {
            const QPointF c = Centre(i);
            QPainterPath hex;
            for (int k = 0; k < 6; ++k) {
                const double a = M_PI / 3 * k;
                const QPointF v = c + QPointF(r * std::cos(a), r * std::sin(a));
                k == 0 ? hex.moveTo(v) : hex.lineTo(v);
            }
            hex.closeSubpath();
            p.fillPath(hex, i == FHighlight ? QColor(255, 255, 255) : QColor(230, 226, 214));
            p.save();
            p.setClipPath(hex);
            for (int s = 0; s < 3; ++s) {
                p.setPen(QPen(kStripes[s], 6));
                const double a = M_PI / 2 + s * M_PI / 3;
                p.drawLine(c - QPointF(r * std::cos(a), r * std::sin(a)),
                           c + QPointF(r * std::cos(a), r * std::sin(a)));
            }
            p.restore();
            p.setPen(QPen(Qt::darkGray, 1));
            p.drawPath(hex);
        }
    }

private:
    static constexpr double r = 26;
    static QPointF Centre(int i) {
        const double h = r * std::sqrt(3.0) / 2;
        return {40 + (i % 10) * 1.6 * r, 36 + (i / 10) * 2.2 * h + (i % 2) * h};
    }
    static QRect HexRect(int i) {
        const QPointF c = Centre(i);
        return QRectF(c.x() - r - 2, c.y() - r - 2, 2 * r + 4, 2 * r + 4).toAlignedRect();
    }
    int FHighlight = 0;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Reference"));
    auto* area = new QMdiArea;
    window.setCentralWidget(area);
    for (const char* name : {"&Game", "&Window", "&Settings", "&Info"})
        window.menuBar()->addMenu(QString::fromLatin1(name))->addAction(QStringLiteral("Item"));
    QToolBar* bar = window.addToolBar(QStringLiteral("Tools"));
    QToolButton* buttons[2] = {};
    for (int i = 0; i < 10; ++i) {
        auto* button = new QToolButton;
        button->setIcon(window.style()->standardIcon(
            static_cast<QStyle::StandardPixmap>(QStyle::SP_TitleBarMenuButton + i)));
        bar->addWidget(button);
        if (i < 2)
            buttons[i] = button;
    }
    auto* hexagons = new tHexagons;
    QMdiSubWindow* sub = area->addSubWindow(hexagons);
    sub->setWindowTitle(QStringLiteral("Board"));
    window.resize(640, 460);

    QTimer tick;
    if (app.arguments().contains(QStringLiteral("--tick"))) {
        buttons[1]->setVisible(false);
        auto* box = new QGroupBox(QStringLiteral("0"), hexagons);
        box->setGeometry(440, 0, 97, 57);
        (new QRadioButton(QStringLiteral("&points"), box))->setGeometry(8, 16, 85, 18);
        (new QRadioButton(QStringLiteral("&quality"), box))->setGeometry(8, 34, 85, 18);
        QLabel* scores[6];
        for (int i = 0; i < 6; ++i) {
            scores[i] = new QLabel(QStringLiteral("0"), hexagons);
            scores[i]->move(460, 70 + 20 * i);
        }
        int second = 0;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            if (++second % 2) {
                const bool first = buttons[0]->isVisible();
                buttons[0]->setVisible(!first);
                buttons[1]->setVisible(first);
                return;
            }
            hexagons->MoveHighlight();
            for (int i = 0; i < 6; ++i) {
                scores[i]->setText(QString::number((second * 7 + i * 13) % 80));
                scores[i]->adjustSize();
            }
            box->setTitle(QString::number(second * 11 % 300));
        });
        tick.start(1000);
    }
    window.show();
    return app.exec();
}
