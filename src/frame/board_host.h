// What a board window and the messages window need from the main window that holds them.
#pragma once

#include "core/datagram.h"
#include "core/game_table.h"
#include "core/ip_list.h"

class QWidget;

// The main window implements this; tests implement it with a recording fake.
class tBoardHost {
public:
    virtual ~tBoardHost() = default;

    // The game table whose boards the windows show.
    virtual tGameTable& Table() = 0;
    // Shows and sends what a table operation caused.
    virtual void Apply(tTableEffects effects) = 0;
    // This PC's own addresses; nullptr when the list is missing.
    virtual const tIpList* OwnAddressList() const = 0;
    // Sends one datagram; does nothing while the network is not ready.
    virtual void SendDatagram(const tDatagram& datagram, tAddress to) = 0;
    virtual void ShowDemo(bool show) = 0;
    // Opens (if needed) the messages window with the owner's address selected
    // and its text entry focused; nullptr when there is none.
    virtual QWidget* OpenMessagesFor(tAddress owner) = 0;
};
