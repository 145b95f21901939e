// Modal, stay-on-top dialogs that bring themselves back to the front.
#include "frame/dialog_behaviour.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

tStayOnTopDialog::tStayOnTopDialog(QWidget* parent) : QDialog(parent) {
    setModal(true);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

bool tStayOnTopDialog::SubDialogOpen() const {
    const QWidget* modal = QApplication::activeModalWidget();
    return modal != nullptr && modal != this;
}

void tStayOnTopDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || isActiveWindow() || !isVisible())
        return;
    // Deferred: activating again from inside the deactivation would be undone
    // by the window system finishing the switch.
    QTimer::singleShot(0, this, [this] { BringToFront(); });
}

void tStayOnTopDialog::BringToFront() {
    if (!isVisible() || isActiveWindow() || SubDialogOpen())
        return;
    raise();
    activateWindow();
}
