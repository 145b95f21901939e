// The behaviour every dialog of the game shares: modal, on top, back in front when it loses
// activation.
#pragma once

#include <QDialog>

class tStayOnTopDialog : public QDialog {
    Q_OBJECT

public:
    explicit tStayOnTopDialog(QWidget* parent = nullptr);

protected:
    // While this returns true the dialog leaves the front to whatever took it.
    // By default that is any other modal window (a message box, a colour
    // dialog), since fighting it for the front would make it unanswerable.
    virtual bool SubDialogOpen() const;

    void changeEvent(QEvent* event) override;

private:
    void BringToFront();
};
