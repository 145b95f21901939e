// TMainForm: the frame window that owns the course of a game.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/datagram.h"
#include "core/game_table.h"
#include "core/ip_list.h"
#include "core/tile_order.h"
#include "frame/board_host.h"
#include "net/network_thread.h"
#include "platform/udp_socket.h"

class QAction;
class QMdiArea;
class QMenu;
class QMessageBox;
class QTimer;
class QToolButton;
class TAuthorForm;
class TChatForm;
class TColorsForm;
class TIdeaForm;
class TLinkForm;
class TOptimumForm;
class TStrategyForm;
class tDemoBoard;
class tStatusLine;
class TChildForm;
class TPlayerForm;
class TPortForm;
class TScoreForm;

class TMainForm : public QMainWindow, public tBoardHost, private tReceiverHost {
    Q_OBJECT

public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The dialogs the main window shows; the application creates them after
    // the main window, as the start-up order requires.
    void SetDialogs(TPlayerForm* playerForm, TScoreForm* scoreForm);
    // The port dialog of the network settings; enables the network command.
    void SetPortForm(TPortForm* portForm);
    void SetInfoDialogs(TColorsForm* colors, TAuthorForm* author, TIdeaForm* idea,
                        TOptimumForm* optimum, TStrategyForm* strategy, TLinkForm* link);
    tDemoBoard* Panel() const { return FPanel; }

    // Widget tests drive the protocol without the receiver thread: with the
    // start switched off, the first paint neither starts the network nor the thread.
    static void EnableNetworkStart(bool enabled);
    // While a sink is set, SendDatagram hands its datagrams there instead of
    // to a socket; the sink's result stands for the send's.
    using tDatagramSink = std::function<tSendResult(const tDatagram& datagram, tAddress to)>;
    void SetDatagramSink(tDatagramSink sink) { FSink = std::move(sink); }
    // Milliseconds of a steady clock, for how long an invitation waits for
    // its answer; tests set a clock of their own.
    using tClock = std::function<std::int64_t()>;
    void SetClock(tClock clock) { FClock = std::move(clock); }

    // tBoardHost
    tGameTable& Table() override { return FTable; }
    const tGameTable& Table() const { return FTable; }
    void Apply(tTableEffects effects) override;
    const tIpList* OwnAddressList() const override { return &FTable.OwnAddresses; }
    void SendDatagram(const tDatagram& datagram, tAddress to) override {
        SendDatagram(datagram, to, false);
    }
    // quiet: a failure shows no box, as while the window closes.
    void SendDatagram(const tDatagram& datagram, tAddress to, bool quiet);
    void ShowDemo(bool show) override;
    QWidget* OpenMessagesFor(tAddress owner) override;

    // The game flow: each asks the table and shows what it caused.
    void NextPlayerDue();
    TChildForm* AddBoard(tAddress senderAddress, tAddress homeAddress, std::uint32_t boardId,
                         const QString& name);
    bool AcceptTileOrder(tAddress senderAddress, const TileOrder& order);
    bool NewPlayerEnabled() const { return FTable.NewPlayerEnabled(); }
    void CollectResults();
    void ShuffleTileOrder() { FTable.ShuffleTileOrder(); }
    const TileOrder& CurrentTileOrder() const { return FTable.Order; }
    void ApplyAllColors();
    void RegisterPeer(tAddress address);
    void ForgetPeer(tAddress address);
    tAddress OwnAddressFor(tAddress destination) const { return FTable.OwnAddressFor(destination); }

    // The network: start, settings, the answers of the protocol.
    QString StartNetwork();
    bool FindOwnAddresses();
    void NetworkSettings();
    // An invitation by a name typed after the two backslashes.
    void Invite(const QString& name);
    void NetworkFailed() override;
    void ShowNetworkError(const QString& text) override;
    void BroadcastHello() override;
    void AnswerHello(tAddress sender, bool request);
    void CloseRemoteBoard(tAddress sender, std::uint32_t boardId);
    void ApplyRemoteMove(tAddress sender, std::uint32_t boardId, bool confirmed,
                         std::uint16_t cellCode, int turn);
    TChatForm* OpenMessages();
    void CloseMessageWindows();
    void ShowText(tAddress sender, tAddress key, const QString& text);
    // The receiving table for one datagram of 88 bytes, as the receiver hands
    // it over; true when an answer to an invitation is to be shown.
    bool ReceiveDatagram(const tDatagram& datagram) override;
    std::vector<TChatForm*> ChatForms() const;
    tNetworkThread* NetworkThread() const { return FNetworkThread.get(); }

    // The board windows in the table's child order: index 0 is the front one.
    std::vector<TChildForm*> Boards() const;
    QMdiArea* MdiArea() const { return FMdiArea; }
    QWidget* Toolbar() const { return FToolbar; }
    tRandom& Random() { return FTable.Random(); }
    // The sentence of the status line at the foot of the window.
    QString StatusText() const;

    tNetState NetState = nsIdle;
    std::string HostName;
    std::uint16_t ServicePort = 0; // network byte order; 0: no port
    std::uint16_t UdpProtocol = 17;

public slots:
    void FarbenEinstellen();
    void ShowEignung();
    void ShowIdee();
    void ShowAutor();
    void ShowStrategie();
    void Optimum();
    void MenuShortcutClick();
    void BtnNeuClick();
    void BtnNextClick() { NextPlayerDue(); }
    void ShowHighScore();
    void MenuUeberlappendClick();
    void MenuNebeneinanderClick();
    void MenuSymboleAnordnenClick();
    void MenuNetzwerkClick() { NetworkSettings(); }
    void MenuChatClick() { OpenMessages(); }
    // Repairs and heartbeats of the table, a few times a second during a game.
    void Tick();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FirstPaintSteps();
    void CreateToolbar();
    void CreateMenus();
    void FillWindowMenu();
    void ReadColors();
    void EnableNewPlayer(bool enabled);
    TChildForm* BoardWindow(int key) const;
    void StoreResults();
    void UpdateStatusLine();
    // Whether to go on without a PC that has kept the game waiting; the
    // question goes away when the PC speaks again.
    void AskAboutSilentPc(tAddress peer);
    void DropSilentQuestion(tAddress peer);
    std::int64_t NowMs() const;
    void StopNetwork();

    // tReceiverHost
    QObject* Context() override { return this; }
    tNetState CurrentNetState() const override { return NetState; }
    std::uint16_t CurrentServicePort() const override { return ServicePort; }
    int CurrentUdpProtocol() const override { return UdpProtocol; }

    tGameTable FTable;
    std::map<int, QPointer<TChildForm>> FWindows; // by board key
    tStatusLine* FStatusLine = nullptr;
    QTimer* FTickTimer = nullptr;
    std::map<tAddress, QPointer<QMessageBox>> FSilentQuestions;
    bool FFirstPaint = true;
    bool FClosing = false;

    QWidget* FToolbar = nullptr;
    QMdiArea* FMdiArea = nullptr;
    tDemoBoard* FPanel = nullptr;
    QPointer<TColorsForm> FColorsForm;
    QPointer<TAuthorForm> FAuthorForm;
    QPointer<TIdeaForm> FIdeaForm;
    QPointer<TOptimumForm> FOptimumForm;
    QPointer<TStrategyForm> FStrategyForm;
    QPointer<TLinkForm> FLinkForm;
    QToolButton* FBtnNeu = nullptr;
    QToolButton* FBtnNeuAtn = nullptr;
    QToolButton* FBtnNext = nullptr;
    QAction* FMenuNeu = nullptr;
    QAction* FMenuChat = nullptr;
    QAction* FMenuNetzwerk = nullptr;
    QMenu* FMenuFenster = nullptr;
    std::vector<QAction*> FWindowListActions;

    QPointer<TPlayerForm> FPlayerForm;
    QPointer<TScoreForm> FScoreForm;
    QPointer<TPortForm> FPortForm;
    int FLookupCode = 0; // socket error code of the last failed own-address lookup
    tDatagramSink FSink;
    tClock FClock;
    std::unique_ptr<tNetworkThread> FNetworkThread;
};
