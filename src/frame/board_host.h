// What a board window needs from the main window that holds it.
#pragma once

#include "core/datagram.h"
#include "core/ip_list.h"
#include "core/tile_order.h"

class QWidget;

// The main window implements this; tests implement it with a recording fake.
class tBoardHost {
public:
    virtual ~tBoardHost() = default;

    // After a confirmation and when a board leaves the game.
    virtual void NextPlayerDue() = 0;
    // This PC's own addresses and the peer PCs; nullptr when the list is missing.
    virtual const tIpList* OwnAddressList() const = 0;
    virtual const tIpList* PeerPcList() const = 0;
    virtual const TileOrder& CurrentTileOrder() const = 0;
    // Sends one datagram; does nothing while the network is not ready.
    virtual void SendDatagram(const tDatagram& datagram, tAddress to) = 0;
    // Drops the peer PCs that no board lists any more.
    virtual void PurgePeers() = 0;
    virtual void ShowDemo(bool show) = 0;
    // Opens (if needed) the messages window with the owner's address selected
    // and its text entry focused; nullptr when there is none.
    virtual QWidget* OpenMessagesFor(tAddress owner) = 0;
};
