// The dialog in which the user enters the game's UDP port.
#pragma once

#include "core/ip_list.h"
#include "frame/dialog_behaviour.h"

#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;

class TPortForm : public tStayOnTopDialog {
    Q_OBJECT

public:
    explicit TPortForm(QWidget* parent = nullptr);

    // Fills the entry with the current port (empty for 0) and the list of own
    // addresses, and fits the dialog's height to that list; the main window
    // calls it before exec().
    void Prepare(std::uint16_t servicePort, const tIpList& ownAddresses);

    // Validates the entry, checks the port's owner and writes the services
    // files; closes with Accepted or Rejected, or leaves the dialog open with a
    // message.
    void BtnOkClick();

    void done(int result) override;

private:
    void FormCreate();
    void Fail(const QString& text);

    QLabel* Beschreibung = nullptr;
    QLabel* PortName = nullptr;
    QLineEdit* Port = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* BtnOk = nullptr;
    QPushButton* BtnCancel = nullptr;
    QLabel* MyIpPrompt = nullptr;
    QLabel* MyIpList = nullptr;
};

// The message for a result code of the services file routines.
QString ServicesCodeText(std::uint8_t code);
