// The messages window: short texts to and from the other PCs.
#pragma once

#include "core/ip_list.h"

#include <QMdiSubWindow>
#include <QString>

#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class tBoardHost;

// One received message that was shown.
struct tChatMessage {
    tAddress Ip = 0;  // the PC this copy came from
    tAddress Key = 0; // the PC at which it was written
    QString Text;
};

class TChatForm : public QMdiSubWindow {
    Q_OBJECT

public:
    TChatForm(tBoardHost* host, QWidget* parent);
    ~TChatForm() override;

    // Adds a dotted address to the addressee list unless it is there; after
    // the first paint the list is widened to fit it and the controls move.
    void AddAddress(const QString& dotted);
    void RemoveAddress(const QString& dotted);
    // Selects the address (adding it when missing), focuses the entry and
    // brings the window to the front.
    void SelectAddress(const QString& dotted);

    // A received text: shown unless it repeats the newest message of the same
    // origin arriving over another PC.
    void ReceiveMessage(tAddress ip, tAddress key, const QString& text);
    // A received text whose origin is the PC it came from.
    void ShowText(const QString& fromDotted, const QString& text);

    // True from the first display until the window closes.
    bool Showing() const { return showing_; }
    // False when the history could not be kept (out of memory); messages are
    // then shown without repeat detection.
    bool HistoryOk() const { return historyOk_; }
    const std::vector<tChatMessage>& History() const { return history_; }

    void BtnSendenClick();
    void BtnClearClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormPaint();
    void PlaceControls();
    void SizeControls();
    void ChatChange();
    void WidenComboBox(const QString& text);
    void AppendLine(const QString& line);

    tBoardHost* host_;
    QWidget* client_ = nullptr;
    QLabel* LblTo = nullptr;
    QComboBox* ComboBox = nullptr;
    QLineEdit* Edit = nullptr;
    QPushButton* BtnClear = nullptr;
    QPushButton* BtnSenden = nullptr;
    QPlainTextEdit* Memo = nullptr;

    int comboBaseWidth_ = 0;
    int minimumWidth_ = 0;
    bool firstPaint_ = true;
    bool showing_ = false;
    bool historyOk_ = true;
    std::vector<tChatMessage> history_;
};
