// The floor for start-up and memory: a bare Qt program shaped like the game's main window.
#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include <cmath>

namespace {

// 46 hexagons with three stripes each, as many as a board window shows
// (19 cells and 27 stock places), in the pure stripe colours.
class tHexagons : public QWidget {
public:
    tHexagons() { setMinimumSize(560, 300); }

protected:
    void paintEvent(QPaintEvent*) override {
        static const QColor kStripes[3] = {QColor(255, 255, 0), QColor(0, 255, 0),
                                           QColor(255, 0, 255)};
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const double r = 26;
        const double h = r * std::sqrt(3.0) / 2;
        for (int i = 0; i < 46; ++i) {
            const QPointF c(40 + (i % 10) * 1.6 * r, 36 + (i / 10) * 2.2 * h + (i % 2) * h);
            QPainterPath hex;
            for (int k = 0; k < 6; ++k) {
                const double a = M_PI / 3 * k;
                const QPointF v = c + QPointF(r * std::cos(a), r * std::sin(a));
                k == 0 ? hex.moveTo(v) : hex.lineTo(v);
            }
            hex.closeSubpath();
            p.fillPath(hex, QColor(230, 226, 214));
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
    for (int i = 0; i < 10; ++i) {
        auto* button = new QToolButton;
        button->setIcon(window.style()->standardIcon(
            static_cast<QStyle::StandardPixmap>(QStyle::SP_TitleBarMenuButton + i)));
        bar->addWidget(button);
    }
    QMdiSubWindow* sub = area->addSubWindow(new tHexagons);
    sub->setWindowTitle(QStringLiteral("Board"));
    window.resize(640, 460);
    window.show();
    return app.exec();
}
