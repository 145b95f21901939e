// The program information window: picture, contact data, maintenance period and links.
#include "info/author_form.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSvgRenderer>

#include "core/mail_link.h"
#include "core/release_date.h"
#include "info/version_check.h"
#include "platform/language.h"
#include "platform/placement.h"
#include "platform/shell_open.h"

namespace AuthorContact {
const char* const Name = "Jonas Beispiel";
const char* const Street = "Musterweg 12";
const char* const Town = "12345 Musterstadt";
const char* const PhoneRegion = "01234";
const char* const Phone = "56 78 90";
const char* const Fax = "56 78 91";
const char* const EMail = "autor@example.org";
} // namespace AuthorContact

namespace {

const char* const kPlacementSection = "AuthorForm";
constexpr int kLabelRight = 290;
constexpr int kValueLeft = 296;

QPixmap AuthorPicture() {
    QPixmap picture(159, 225);
    picture.fill(Qt::white);
    QSvgRenderer renderer(QStringLiteral(":/info/author.svg"));
    if (renderer.isValid()) {
        QPainter p(&picture);
        renderer.render(&p);
    }
    return picture;
}

} // namespace

QString CompilerText() {
#if defined(__clang__)
    return QStringLiteral("Clang %1.%2.%3")
        .arg(__clang_major__)
        .arg(__clang_minor__)
        .arg(__clang_patchlevel__);
#elif defined(__GNUC__)
    return QStringLiteral("GCC ") + QString::fromLatin1(__VERSION__);
#else
    return QStringLiteral("C++ %1").arg(__cplusplus);
#endif
}

TAuthorForm::TAuthorForm(QWidget* parent) : tStayOnTopDialog(parent) {
    setObjectName(QStringLiteral("AuthorForm"));
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    setFixedSize(528, 272);
    setWindowTitle(QStringLiteral("Vessrin Programmautor"));

    Button = new QPushButton(QStringLiteral("&Ok"), this);
    Button->setObjectName(QStringLiteral("Button"));
    Button->setGeometry(44, 240, 89, 25);
    Button->setDefault(true);
    connect(Button, &QPushButton::clicked, this, &QDialog::accept);

    Image = new QLabel(this);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setGeometry(8, 8, 165, 233);
    Image->setAlignment(Qt::AlignCenter);

    auto caption = [this](const char* name, const char* text, int y) {
        auto* label = new QLabel(QString::fromUtf8(text), this);
        label->setObjectName(QString::fromLatin1(name));
        label->setAlignment(Qt::AlignRight | Qt::AlignTop);
        label->setGeometry(kLabelRight - 116, y, 116, 16);
        return label;
    };
    auto value = [this](const char* name, const char* text, int x, int y) {
        auto* label = new QLabel(QString::fromUtf8(text), this);
        label->setObjectName(QString::fromLatin1(name));
        label->move(x, y);
        return label;
    };
    Author = caption("Author", "Author", 8);
    AutorVal = value("AutorVal", AuthorContact::Name, kValueLeft, 8);
    Anschrift = caption("Anschrift", "Anschrift", 24);
    Strasse = value("Strasse", AuthorContact::Street, kValueLeft, 24);
    Ort = value("Ort", AuthorContact::Town, kValueLeft, 40);
    Telefon = caption("Telefon", "Telefon / Q", 56);
    TelefonRegion = value("TelefonRegion", AuthorContact::PhoneRegion, kValueLeft, 56);
    TelefonVal = value("TelefonVal", AuthorContact::Phone, 336, 56);
    Telefax = caption("Telefax", "Telefax", 72);
    TelefaxVal = value("TelefaxVal", AuthorContact::Fax, 336, 72);
    eMail = caption("eMail", "eMail", 88);
    eMailVal = value("eMailVal", AuthorContact::EMail, kValueLeft, 88);
    Internet = caption("Internet", "Internet", 104);
    InternetVal = value("InternetVal", "", kValueLeft, 104);
    InternetVal->setToolTip(
        QStringLiteral("Auf eine neue Version pr\u00FCfen und die Webseite besuchen"));
    Compiler = caption("Compiler", "Compiler", 120);
    CompilerVal = value("CompilerVal", "", kValueLeft, 120);
    CompilerVal->setText(CompilerText());
    Pflege = caption("Pflege", "Programmpflege", 136);
    Datum = value("Datum", "", kValueLeft, 136);

    // The two links look like links: blue, with the hand cursor.
    for (QLabel* link : {eMailVal, InternetVal}) {
        QPalette p = link->palette();
        p.setColor(QPalette::WindowText, QColor(0, 0, 255));
        link->setPalette(p);
        link->setCursor(Qt::PointingHandCursor);
        link->installEventFilter(this);
    }

    Hinweis = new QLabel(this);
    Hinweis->setObjectName(QStringLiteral("Hinweis"));
    // Taller than the 52 pixels of the first design: the German text needs a
    // fifth line in the desktop fonts here.
    Hinweis->setGeometry(176, 156, 339, 80);
    Hinweis->setWordWrap(true);
    Hinweis->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Hinweis->setText(QStringLiteral(
        "Ich habe Vessrin als Brettspiel kennengelernt. Es war m\u00FChsam, bei Spielende die "
        "Punktest\u00E4nde und den Sieger auszurechnen. Deshalb habe ich die Spielidee auf den "
        "Bildschirm gebracht und nach und nach die Bedienung verfeinert."));

    Button->setFocus();
    FormCreate();
}

void TAuthorForm::FormCreate() {
    Datum->setText(QString::fromStdString(MaintenancePeriod(IsGerman())));
    if (!IsGerman()) {
        setWindowTitle(QStringLiteral("Orvanel program's author"));
        Anschrift->setText(QStringLiteral("Address"));
        Telefon->setText(QStringLiteral("Phone / Answ. mach."));
        InternetVal->setToolTip(QStringLiteral("Check for an upgrade and visit the web site"));
        Pflege->setText(QStringLiteral("Program maintained"));
        Hinweis->setText(QStringLiteral(
            "I came to know the game in a box named \"Vessrin\". It was awkward to calculate the "
            "scores and the winner on ending the game. Therefore I brought the sense of the game "
            "to the computer screen and step by step I improved the handling."));
    }
    for (QLabel* label : {AutorVal, Strasse, Ort, TelefonRegion, TelefonVal, TelefaxVal, eMailVal,
                          CompilerVal, Datum})
        label->adjustSize();
    ShowSiteAddress();
    RestorePlacement(this, kPlacementSection);
}

void TAuthorForm::ShowSiteAddress() {
    // The site is configuration, so a long address is shortened to the
    // window; the click opens the whole address all the same.
    const int room = width() - kValueLeft - 8;
    InternetVal->setText(
        InternetVal->fontMetrics().elidedText(SiteAddress(), Qt::ElideMiddle, room));
    InternetVal->adjustSize();
}

void TAuthorForm::showEvent(QShowEvent* event) {
    // Drawn at the first showing: rendering it would delay every start.
    if (Image->pixmap().isNull())
        Image->setPixmap(AuthorPicture());
    // The settings file may have changed since the start.
    ShowSiteAddress();
    tStayOnTopDialog::showEvent(event);
}

bool TAuthorForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        (watched == eMailVal || watched == InternetVal)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const auto* label = static_cast<QLabel*>(watched);
        if (mouse->button() == Qt::LeftButton &&
            label->rect().contains(mouse->position().toPoint())) {
            if (watched == eMailVal)
                eMailValClick();
            else
                InternetValClick();
            return true;
        }
    }
    return tStayOnTopDialog::eventFilter(watched, event);
}

void TAuthorForm::eMailValClick() {
    // A desktop without a mail program is not reported.
    ShellOpen(QString::fromStdString(MailLinkText(eMailVal->text().toStdString())));
}

void TAuthorForm::InternetValClick() {
    emit internetValClicked();
}

void TAuthorForm::done(int result) {
    SavePlacement(this, kPlacementSection);
    tStayOnTopDialog::done(result);
}
