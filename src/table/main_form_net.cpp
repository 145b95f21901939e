// The main window's network side: the send path, the network start and settings, the messages
// windows.
#include <QApplication>
#include <QMdiArea>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <arpa/inet.h>
#include <chrono>

#include "core/services_file.h"
#include "core/winsock_errors.h"
#include "net/chat_form.h"
#include "net/port_form.h"
#include "platform/language.h"
#include "platform/services_db.h"
#include "platform/settings_file.h"
#include "table/main_form.h"

namespace {
// The hourglass for the length of one network step, on every way out.
class tWaitCursor {
public:
    tWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    tWaitCursor(const tWaitCursor&) = delete;
    tWaitCursor& operator=(const tWaitCursor&) = delete;
    ~tWaitCursor() { QApplication::restoreOverrideCursor(); }
};

QString Dotted(tAddress a) {
    return QString::fromStdString(DottedAddress(a));
}
} // namespace

// Board windows as guarded pointers, for loops whose steps may show a message
// box, in whose loop a user can close a window.
namespace {
template <typename T> std::vector<QPointer<T>> Guarded(const std::vector<T*>& windows) {
    return std::vector<QPointer<T>>(windows.begin(), windows.end());
}

std::int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

std::int64_t TMainForm::NowMs() const {
    return FClock ? FClock() : SteadyMs();
}

void TMainForm::SendDatagram(const tDatagram& datagram, tAddress to, bool quiet) {
    if (NetState != nsReady)
        return;
    tSendResult result;
    {
        tWaitCursor wait;
        if (FSink) {
            result = FSink(datagram, to);
        } else {
            const tDatagramBytes bytes = datagram.Encode();
            result = SendUdp(bytes.data(), bytes.size(), to, ServicePort, UdpProtocol);
        }
    }
    if (result.step == ssConnect) {
        ForgetPeer(to);
        return;
    }
    const std::string text = SendFailureText(result, to);
    if (!text.empty() && !quiet)
        ShowMessageBox(QString::fromStdString(text), windowTitle(), kMbIconStop);
}

void TMainForm::BroadcastHello() {
    if (!FClosing)
        Apply(FTable.BroadcastHello());
}

void TMainForm::RegisterPeer(tAddress address) {
    Apply(FTable.RegisterPeer(address));
}

void TMainForm::ForgetPeer(tAddress address) {
    Apply(FTable.ForgetPeer(address));
}

void TMainForm::AnswerHello(tAddress sender, bool request) {
    Apply(FTable.AnswerHello(sender, request));
}

void TMainForm::CloseRemoteBoard(tAddress sender, std::uint32_t boardId) {
    Apply(FTable.CloseRemoteBoard(sender, boardId));
}

void TMainForm::ApplyRemoteMove(tAddress sender, std::uint32_t boardId, bool confirmed,
                                std::uint16_t cellCode, int turn) {
    Apply(FTable.ApplyRemoteMove(sender, boardId, confirmed, cellCode, turn));
}

std::vector<TChatForm*> TMainForm::ChatForms() const {
    std::vector<TChatForm*> chats;
    const QList<QMdiSubWindow*> windows = FMdiArea->subWindowList(QMdiArea::StackingOrder);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if (auto* chat = qobject_cast<TChatForm*>(*it))
            chats.push_back(chat);
    return chats;
}

TChatForm* TMainForm::OpenMessages() {
    if (FClosing)
        return nullptr;
    FMenuChat->setEnabled(true);
    ShowDemo(false);
    const std::vector<TChatForm*> chats = ChatForms();
    TChatForm* chat = chats.empty() ? nullptr : chats.back();
    if (!chat) {
        chat = new TChatForm(this, FMdiArea);
        if (!chat->HistoryOk()) {
            delete chat;
            return nullptr;
        }
        if (!chat->mdiArea())
            FMdiArea->addSubWindow(chat);
        chat->show();
    }
    for (int i = 0; i < FTable.PeerPcs.Count(); ++i)
        chat->AddAddress(Dotted(FTable.PeerPcs.Items(i)));
    return chat;
}

QWidget* TMainForm::OpenMessagesFor(tAddress owner) {
    TChatForm* chat = OpenMessages();
    if (chat)
        chat->SelectAddress(Dotted(owner));
    return chat;
}

void TMainForm::CloseMessageWindows() {
    const std::vector<QPointer<TChatForm>> chats = Guarded(ChatForms());
    for (auto it = chats.rbegin(); it != chats.rend(); ++it)
        if (*it)
            (*it)->close();
    FMenuChat->setEnabled(false);
}

void TMainForm::ShowText(tAddress sender, tAddress key, const QString& text) {
    if (TChatForm* chat = OpenMessages())
        chat->ReceiveMessage(sender, key, text);
}

bool TMainForm::ReceiveDatagram(const tDatagram& d) {
    if (FClosing)
        return false;
    tTableEffects effects = FTable.ReceiveDatagram(d, NowMs());
    // The box about the answer holds the receiver; it is shown there.
    const bool answer = effects.InvitationAnswer.has_value();
    Apply(std::move(effects));
    return answer;
}

void TMainForm::Invite(const QString& name) {
    if (NetState != nsReady)
        NetworkSettings();
    if (NetState != nsReady)
        return;
    const tAddress address = ResolveHost(name.toStdString());
    if (address == kBroadcastAddress) {
        const QString quoted = QStringLiteral("\"") + name + QStringLiteral("\"");
        ShowMessageBox(IsGerman()
                           ? QStringLiteral("Rechner ") + quoted + QStringLiteral(" nicht gefunden")
                           : QStringLiteral("Could not find PC named ") + quoted,
                       windowTitle(), kMbIconStop);
        return;
    }
    Apply(FTable.Invite(address, NowMs()));
}

QString TMainForm::StartNetwork() {
    QString error;
    if (FClosing)
        return error;
    tWaitCursor wait;
    FTable.OwnAddresses.Clear();
    // BSD sockets need no start-up; the state keeps its place all the same.
    if (NetState == nsIdle)
        NetState = nsStarted;
    int code = 0;
    if (!::HostName(HostName, code)) {
        error = QStringLiteral("Get my network name: ") +
                QString::fromStdString(WinSockErrorText(code));
    } else if (!FindOwnAddresses()) {
        error =
            QStringLiteral("Get my IPs: ") + QString::fromStdString(WinSockErrorText(FLookupCode));
    } else {
        UdpProtocol = static_cast<std::uint16_t>(UdpProtocolNumber());
        const std::optional<std::uint16_t> port =
            ServicePortByName(std::string(kServiceName), std::string(kServiceProtocol));
        if (!port || *port == 0) {
            ServicePort = 0;
            if (NetState == nsReady)
                NetState = nsStarted;
        } else {
            ServicePort = htons(*port);
            // Also from nsFailed: the user fixed the problem as the message asked.
            NetState = nsReady;
        }
    }
    // Without its own addresses the PC cannot name itself in a datagram.
    if (!error.isEmpty() && NetState == nsReady)
        NetState = nsStarted;
    return error;
}

bool TMainForm::FindOwnAddresses() {
    std::vector<tAddress> lookup;
    FLookupCode = 0;
    if (!LookUpHost(HostName, lookup, FLookupCode))
        return false;
    for (tAddress a : ChooseOwnAddresses(lookup, InterfaceAddresses()))
        if (!FTable.OwnAddresses.Contains(a))
            FTable.OwnAddresses.Add(a);
    return true;
}

void TMainForm::NetworkSettings() {
    QString error = StartNetwork();
    if (!error.isEmpty()) {
        ShowNetworkError(error);
        return;
    }
    if (!FPortForm)
        return;
    FPortForm->Prepare(ntohs(ServicePort), FTable.OwnAddresses);
    if (FPortForm->exec() == QDialog::Accepted) {
        error = StartNetwork();
        if (!error.isEmpty())
            ShowNetworkError(error);
    }
}

void TMainForm::NetworkFailed() {
    if (FClosing)
        return;
    NetState = nsFailed;
    CloseMessageWindows();
}

void TMainForm::ShowNetworkError(const QString& text) {
    // A message at closing would hold up the end of the receiver.
    if (FClosing)
        return;
    ShowMessageBox(text, windowTitle(), kMbIconStop);
}

void TMainForm::StopNetwork() {
    NetState = NetState != nsIdle ? nsStopCleanup : nsStopOnly;
    if (FNetworkThread)
        FNetworkThread->WaitServing();
}

void TMainForm::AskAboutSilentPc(tAddress peer) {
    if (FClosing || FSilentQuestions.count(peer))
        return;
    const QString a = Dotted(peer);
    const QString text =
        IsGerman()
            ? QStringLiteral("PC ") + a +
                  QStringLiteral(" antwortet seit 30 s nicht. Ohne seine Spieler weiterspielen?")
            : QStringLiteral("PC ") + a +
                  QStringLiteral(" has not answered for 30 s. Go on without its players?");
    // Not modal in a loop of its own: the game and the receiver go on behind it.
    auto* box =
        new QMessageBox(QMessageBox::NoIcon, windowTitle(), text, QMessageBox::NoButton, this);
    box->setObjectName(QStringLiteral("SilentPc"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* yes = box->addButton(Tr("Ja", "Yes"), QMessageBox::YesRole);
    QPushButton* no = box->addButton(Tr("Nein", "No"), QMessageBox::NoRole);
    box->setDefaultButton(yes);
    box->setEscapeButton(no);
    FSilentQuestions[peer] = box;
    connect(box, &QMessageBox::finished, this, [this, peer, box, yes] {
        // Gone from the list: the PC spoke again and the question was withdrawn.
        if (FSilentQuestions.erase(peer) == 0 || FClosing)
            return;
        Apply(FTable.AnswerSilent(peer, box->clickedButton() == yes, NowMs()));
    });
    box->open();
}

void TMainForm::DropSilentQuestion(tAddress peer) {
    const auto it = FSilentQuestions.find(peer);
    if (it == FSilentQuestions.end())
        return;
    const QPointer<QMessageBox> box = it->second;
    FSilentQuestions.erase(it);
    if (box)
        box->reject();
}
