// The UDP port dialog: reading the entry, checking the port's owner, writing the services files.
#include "net/port_form.h"

#include "core/port_text.h"
#include "core/services_file.h"
#include "platform/language.h"
#include "platform/placement.h"
#include "platform/services_db.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

#include <algorithm>
#include <initializer_list>
#include <string>

namespace {

const char* const kPlacementSection = "PortForm";
constexpr int kClientWidth = 442;
constexpr int kClientHeight = 118;
constexpr int kDescriptionHeight = 39;

} // namespace

QString ServicesCodeText(std::uint8_t code) {
    switch (code) {
    case scCannotOpen:
        return Tr("Services Datei nicht gefunden", "services file not found");
    case scCannotCreateTemporary:
        return Tr("Kann temporäre Services Datei nicht erzeugen",
                  "Cannot create temporary services file");
    case scCannotDelete:
        return Tr("Kann Services Datei nicht beschreiben", "Cannot write to services file");
    case scCannotRename:
        return Tr("Kann temporäre Services Datei nicht in endgültige umbenennen",
                  "Cannot rename temporary services file back to original");
    case scInvalidDirectory:
        return Tr("ungültige Pfad Länge beim Beschreiben der Services Datei",
                  "invalid path len on writing to the services file");
    default:
        return Tr("unbekannter Fehler beim Eintragen in die Services Datei",
                  "unknown error on writing to the services file");
    }
}

TPortForm::TPortForm(QWidget* parent) : tStayOnTopDialog(parent) {
    setObjectName(QStringLiteral("PortForm"));
    // A close box only: no help or minimise buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    setFixedSize(kClientWidth, kClientHeight);
    setWindowTitle(QStringLiteral("Vessrin socket port"));

    Beschreibung = new QLabel(this);
    Beschreibung->setObjectName(QStringLiteral("Beschreibung"));
    Beschreibung->setGeometry(8, 4, 428, kDescriptionHeight);
    Beschreibung->setWordWrap(true);
    Beschreibung->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Beschreibung->setText(QString::fromUtf8(
        "Bitte einigen Sie sich mit Ihren Mitspielern und dem Netzwerk Verwalter auf einen UDP "
        "Port und tragen Sie ihn auf allen Rechnern gleich ein oder hinterlassen Sie das "
        "Eingabefeld leer, um nicht im Netzwerk zu spielen.."));

    PortName = new QLabel(this);
    PortName->setObjectName(QStringLiteral("PortName"));
    PortName->move(8, 52);

    Port = new QLineEdit(this);
    Port->setObjectName(QStringLiteral("Port"));
    Port->setGeometry(140, 48, 65, 21);
    PortName->setBuddy(Port);

    Label2 = new QLabel(QStringLiteral("/udp"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(208, 52);
    Label2->adjustSize();

    BtnOk = new QPushButton(QStringLiteral("&Ok"), this);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnOk->setGeometry(140, 76, 65, 21);
    BtnOk->setDefault(true);

    BtnCancel = new QPushButton(QStringLiteral("&Abbruch"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    BtnCancel->setGeometry(208, 76, 65, 21);

    MyIpPrompt = new QLabel(QStringLiteral("Meine IP"), this);
    MyIpPrompt->setObjectName(QStringLiteral("MyIpPrompt"));
    MyIpPrompt->move(8, 100);

    MyIpList = new QLabel(this);
    MyIpList->setObjectName(QStringLiteral("MyIpList"));
    MyIpList->setWordWrap(true);
    MyIpList->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    MyIpList->setGeometry(140, 100, kClientWidth - 140 - 8, 13);

    setTabOrder(Port, BtnOk);
    setTabOrder(BtnOk, BtnCancel);

    connect(BtnOk, &QPushButton::clicked, this, &TPortForm::BtnOkClick);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);

    FormCreate();
}

void TPortForm::FormCreate() {
    if (!IsGerman()) {
        setWindowTitle(QStringLiteral("Orvanel socket port"));
        Beschreibung->setText(QStringLiteral(
            "Please agree with the other players and the network administrator about a UDP port "
            "and enter the same on all PCs or leave the data field blank for not playing in the "
            "network."));
        BtnCancel->setText(QStringLiteral("&Cancel"));
        MyIpPrompt->setText(QStringLiteral("My IP"));
    }
    PortName->setText(
        QString::fromLatin1(kServiceName.data(), static_cast<int>(kServiceName.size())));
    PortName->adjustSize();
    MyIpPrompt->adjustSize();

    // The description was laid out for a narrow bitmap font; a desktop font
    // may need more lines, and everything below moves down by the difference.
    const int extra =
        std::max(0, Beschreibung->heightForWidth(Beschreibung->width()) - kDescriptionHeight);
    if (extra > 0) {
        Beschreibung->resize(Beschreibung->width(), kDescriptionHeight + extra);
        for (QWidget* w : std::initializer_list<QWidget*>{PortName, Port, Label2, BtnOk, BtnCancel,
                                                          MyIpPrompt, MyIpList})
            w->move(w->x(), w->y() + extra);
        setFixedSize(kClientWidth, kClientHeight + extra);
    }
    RestorePlacement(this, kPlacementSection);
}

void TPortForm::Prepare(std::uint16_t servicePort, const tIpList& ownAddresses) {
    Port->setText(servicePort == 0 ? QString() : QString::number(servicePort));
    MyIpPrompt->setText(ownAddresses.Count() <= 1 ? Tr("Meine IP", "My IP")
                                                  : Tr("Meine IPs", "My IPs"));
    MyIpPrompt->adjustSize();
    QStringList lines;
    for (int i = 0; i < ownAddresses.Count(); ++i)
        lines << QString::fromStdString(DottedAddress(ownAddresses.Items(i)));
    MyIpList->setText(lines.join(QLatin1Char('\n')));
    const int listHeight =
        std::max(MyIpList->heightForWidth(MyIpList->width()), MyIpList->fontMetrics().height());
    MyIpList->resize(MyIpList->width(), listHeight);
    setFixedSize(kClientWidth, MyIpList->y() + listHeight + 5);
    Port->setFocus();
    Port->selectAll();
}

void TPortForm::Fail(const QString& text) {
    ShowMessageBox(text, windowTitle(), kMbIconStop);
}

void TPortForm::BtnOkClick() {
    const tPortText entry = ReadPortText(Port->text().toStdString());
    if (entry.result == ptInvalid) {
        Fail(Tr("ungültige Portnummer", "invalid port number"));
        return;
    }
    const std::string service(kServiceName);
    const std::string protocol(kServiceProtocol);
    if (entry.result == ptPort) {
        std::optional<tServiceEntry> owner;
        if (const std::optional<std::string> name = ServiceNameByPort(entry.port, protocol)) {
            owner.emplace();
            owner->name = *name;
            owner->port = entry.port;
            owner->protocol = protocol;
        }
        const unsigned current = ServicePortByName(service, protocol).value_or(0);
        switch (ClassifyPortOwner(owner, current)) {
        case poOurs:
            accept();
            return;
        case poOtherOwner:
            Fail(Tr("Port bereits vergeben", "port already in use"));
            return;
        case poFree:
            break;
        }
    }
    const std::uint8_t code = SetServicePort(service, protocol, entry.port, std::string());
    if (code == scOk) {
        accept();
        return;
    }
    Fail(ServicesCodeText(code));
    reject();
}

void TPortForm::done(int result) {
    SavePlacement(this, kPlacementSection);
    tStayOnTopDialog::done(result);
}
