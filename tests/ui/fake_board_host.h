// A board host for widget tests: a real game table, its effects applied as the main window does.
#pragma once

#include <QApplication>
#include <QMdiArea>
#include <QPointer>
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "frame/board_host.h"
#include "table/child_form.h"

class tFakeBoardHost : public tBoardHost {
public:
    struct tSent {
        tDatagram datagram;
        tAddress to;
    };

    tGameTable table{12345};
    QMdiArea* Area = nullptr; // where the windows of added boards go
    std::map<int, QPointer<TChildForm>> Windows;
    std::vector<tSent> Sent;
    std::vector<bool> ShowDemoCalls;
    std::vector<tAddress> MessagesOpenedFor;

    // A board added with its window shown; sender 0 adds a local board. The
    // sends start afresh: the board's announcement is no part of a test.
    TChildForm* MakeBoard(const std::string& name, tAddress sender = 0, tAddress home = 0,
                          std::uint32_t boardId = 0) {
        tTableEffects fx = table.AddBoard(sender, home, boardId, name);
        const int key = fx.Added.empty() ? 0 : fx.Added.back();
        Apply(std::move(fx));
        QApplication::processEvents();
        Sent.clear();
        return Window(key);
    }
    TChildForm* Window(int key) const {
        const auto it = Windows.find(key);
        return it == Windows.end() ? nullptr : it->second.data();
    }
    int CountSent(std::uint8_t kind) const {
        return static_cast<int>(std::count_if(
            Sent.begin(), Sent.end(), [kind](const tSent& s) { return s.datagram.Kind == kind; }));
    }

    tGameTable& Table() override { return table; }
    void Apply(tTableEffects fx) override {
        if (fx.Demo && !*fx.Demo)
            ShowDemo(false);
        for (int key : fx.Added) {
            Windows[key] = new TChildForm(*this, key, Area);
            Windows[key]->show();
        }
        for (int key : fx.Closed)
            if (const QPointer<TChildForm> window = Window(key); Windows.erase(key) && window)
                window->CloseByTable();
        for (int key : fx.Changed)
            if (TChildForm* window = Window(key))
                window->Refresh();
        if (TChildForm* window = fx.Front ? Window(*fx.Front) : nullptr; window && Area)
            Area->setActiveSubWindow(window);
        if (fx.Demo && *fx.Demo)
            ShowDemo(true);
        for (const tSend& send : fx.Sends)
            SendDatagram(send.Datagram, send.To);
    }
    const tIpList* OwnAddressList() const override { return &table.OwnAddresses; }
    void SendDatagram(const tDatagram& datagram, tAddress to) override {
        Sent.push_back({datagram, to});
    }
    void ShowDemo(bool show) override { ShowDemoCalls.push_back(show); }
    QWidget* OpenMessagesFor(tAddress owner) override {
        MessagesOpenedFor.push_back(owner);
        return nullptr;
    }
};
