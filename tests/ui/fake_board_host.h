// A board host for widget tests and benchmarks that records what a board asks of it.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "core/datagram.h"
#include "core/ip_list.h"
#include "core/tile_order.h"
#include "frame/board_host.h"

class tFakeBoardHost : public tBoardHost {
public:
    struct tSent {
        tDatagram datagram;
        tAddress to;
    };

    tIpList Own;
    tIpList Peers;
    bool HasOwn = true;
    bool HasPeers = true;
    TileOrder Order;

    std::vector<tSent> Sent;
    int NextPlayerDueCalls = 0;
    int PurgePeersCalls = 0;
    std::vector<bool> ShowDemoCalls;
    std::vector<tAddress> MessagesOpenedFor;
    // Runs on every NextPlayerDue, e.g. to offer the next tile.
    std::function<void()> OnNextPlayerDue;

    void NextPlayerDue() override {
        ++NextPlayerDueCalls;
        if (OnNextPlayerDue)
            OnNextPlayerDue();
    }
    const tIpList* OwnAddressList() const override { return HasOwn ? &Own : nullptr; }
    const tIpList* PeerPcList() const override { return HasPeers ? &Peers : nullptr; }
    const TileOrder& CurrentTileOrder() const override { return Order; }
    void SendDatagram(const tDatagram& datagram, tAddress to) override {
        Sent.push_back({datagram, to});
    }
    void PurgePeers() override { ++PurgePeersCalls; }
    void ShowDemo(bool show) override { ShowDemoCalls.push_back(show); }
    QWidget* OpenMessagesFor(tAddress owner) override {
        MessagesOpenedFor.push_back(owner);
        return nullptr;
    }

    int CountSent(std::uint8_t kind) const {
        int n = 0;
        for (const tSent& s : Sent)
            n += s.datagram.Kind == kind ? 1 : 0;
        return n;
    }
};
