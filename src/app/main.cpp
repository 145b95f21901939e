// Program start: language and settings file, then the windows and the message loop.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle("Vessrin");
    window.resize(620, 444);
    window.show();
    return app.exec();
}
