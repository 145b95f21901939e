// TAuthorForm: the program, its author and the links to mail and web site.
#pragma once

#include "frame/dialog_behaviour.h"

class QLabel;
class QPushButton;

// The maker's contact data as this program shows it (invented, under the
// reserved example domain). The web link shows the configured site address.
namespace AuthorContact {
extern const char* const Name;
extern const char* const Street;
extern const char* const Town;
extern const char* const PhoneRegion;
extern const char* const Phone;
extern const char* const Fax;
extern const char* const EMail;
} // namespace AuthorContact

// Name and version of the compiler that built this program.
QString CompilerText();

class TAuthorForm : public tStayOnTopDialog {
    Q_OBJECT

public:
    explicit TAuthorForm(QWidget* parent = nullptr);

    void done(int result) override;

signals:
    // The web address was clicked: the version check takes over.
    void internetValClicked();

public slots:
    // Starts a mail to the shown address with the desktop's mail program.
    void eMailValClick();
    void InternetValClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void ShowSiteAddress();

    QLabel* Image = nullptr;
    QLabel* Author = nullptr;
    QLabel* AutorVal = nullptr;
    QLabel* Anschrift = nullptr;
    QLabel* Strasse = nullptr;
    QLabel* Ort = nullptr;
    QLabel* Telefon = nullptr;
    QLabel* TelefonRegion = nullptr;
    QLabel* TelefonVal = nullptr;
    QLabel* Telefax = nullptr;
    QLabel* TelefaxVal = nullptr;
    QLabel* eMail = nullptr;
    QLabel* eMailVal = nullptr;
    QLabel* Internet = nullptr;
    QLabel* InternetVal = nullptr;
    QLabel* Compiler = nullptr;
    QLabel* CompilerVal = nullptr;
    QLabel* Pflege = nullptr;
    QLabel* Datum = nullptr;
    QLabel* Hinweis = nullptr;
    QPushButton* Button = nullptr;
};
