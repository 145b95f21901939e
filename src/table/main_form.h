// TMainForm: the frame window that owns the course of a game.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/datagram.h"
#include "core/high_score.h"
#include "core/ip_list.h"
#include "core/random.h"
#include "core/tile_order.h"
#include "table/board_host.h"

class QAction;
class QMdiArea;
class QMenu;
class QToolButton;
class TChildForm;
class TPlayerForm;
class TScoreForm;

enum tNetState : std::uint8_t { nsIdle, nsStarted, nsReady, nsFailed, nsStopOnly, nsStopCleanup };

class TMainForm : public QMainWindow, public tBoardHost {
    Q_OBJECT

public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The dialogs the main window shows; the application creates them after
    // the main window, as the start-up order requires.
    void SetDialogs(TPlayerForm* playerForm, TScoreForm* scoreForm);

    // tBoardHost
    void NextPlayerDue() override;
    const tIpList* OwnAddressList() const override { return OwnAddresses.get(); }
    const tIpList* PeerPcList() const override { return PeerPcs.get(); }
    const TileOrder& CurrentTileOrder() const override { return FTileOrder; }
    void SendDatagram(const tDatagram& datagram, tAddress to) override;
    void PurgePeers() override;
    void ShowDemo(bool show) override;
    QWidget* OpenMessagesFor(tAddress owner) override;

    TChildForm* AddBoard(tAddress senderAddress, tAddress homeAddress, std::uint32_t boardId,
                         const QString& name);
    bool AcceptTileOrder(tAddress senderAddress, const TileOrder& order);
    void EnableNewPlayer(bool enabled);
    bool NewPlayerEnabled() const;
    void CollectResults();
    void ShuffleTileOrder();
    void ApplyAllColors();
    void RegisterPeer(tAddress address);
    void ForgetPeer(tAddress address);
    tAddress OwnAddressFor(tAddress destination) const;

    // The board windows in child order: index 0 is the active one.
    std::vector<TChildForm*> Boards() const;
    QMdiArea* MdiArea() const { return FMdiArea; }
    QWidget* Toolbar() const { return FToolbar; }
    tRandom& Random() { return FRandom; }

    tHighScore HighScores;
    std::unique_ptr<tIpList> PeerPcs;
    std::unique_ptr<tIpList> OwnAddresses;
    tNetState NetState = nsIdle;
    std::uint16_t ServicePort = 0;
    std::uint16_t UdpProtocol = 17;
    std::uint16_t DemoBoard = 1;

public slots:
    void BtnNeuClick();
    void BtnNextClick() { NextPlayerDue(); }
    void ShowHighScore();
    void MenuUeberlappendClick();
    void MenuNebeneinanderClick();
    void MenuSymboleAnordnenClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FirstPaintSteps();
    void CreateToolbar();
    void CreateMenus();
    void FillWindowMenu();
    void ReadColors();
    bool PreferredOver(TChildForm* board, TChildForm* current) const;

    tRandom FRandom;
    TileOrder FTileOrder;
    bool FFirstPaint = true;
    bool FBlinkPhase = false;
    bool FClosing = false;

    QWidget* FToolbar = nullptr;
    QMdiArea* FMdiArea = nullptr;
    QWidget* FPanel = nullptr;
    QToolButton* FBtnNeu = nullptr;
    QToolButton* FBtnNeuAtn = nullptr;
    QToolButton* FBtnNext = nullptr;
    QAction* FMenuNeu = nullptr;
    QAction* FMenuChat = nullptr;
    QMenu* FMenuFenster = nullptr;
    std::vector<QAction*> FWindowListActions;

    QPointer<TPlayerForm> FPlayerForm;
    QPointer<TScoreForm> FScoreForm;
};
