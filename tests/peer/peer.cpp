// A stand-in PC for the end-to-end tests: sends the datagrams a real program
// never sends (wrong lengths, unknown kinds, zero senders, strings without a
// terminator, impossible moves) and watches what the program answers.
//
//   vessrin_peer hostile <address> <port> <own-address>
//   vessrin_peer ask <address> <port> <own-address> <timeout-ms>
//   vessrin_peer selftest
//
// The first two bind the port on every local address, as the program answers
// there. The datagrams are made and read by the peer's own codec (wire.h).
#include <arpa/inet.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/udp_socket.h"
#include "wire.h"

namespace {

using wire::tBytes;
using wire::tMessage;

constexpr std::uint16_t kValidCell = 333;

tMessage WithSender(std::uint8_t kind, tAddress sender) {
    tMessage m;
    m.kind = kind;
    m.sender = sender;
    return m;
}

tMessage Hello(tAddress sender) {
    return WithSender(wire::kHello, sender);
}

tMessage RequestBoards(tAddress sender) {
    return WithSender(wire::kRequestBoards, sender);
}

tMessage Present(tAddress sender) {
    return WithSender(wire::kPresent, sender);
}

tMessage Text(tAddress sender, const std::string& text) {
    tMessage m = WithSender(wire::kText, sender);
    m.origin = sender;
    m.text = text;
    return m;
}

// A board announced by its home PC: sender and home are the same.
tMessage Board(tAddress home, const std::string& name, std::uint32_t boardId) {
    tMessage m = WithSender(wire::kBoard, home);
    for (std::size_t i = 0; i < m.order.size(); ++i)
        m.order[i] = static_cast<std::uint16_t>(i);
    m.home = home;
    m.name = name;
    m.boardId = boardId;
    return m;
}

tMessage Move(std::uint8_t kind, tAddress sender, std::uint32_t boardId, std::uint8_t turn,
              std::uint16_t cell) {
    tMessage m = WithSender(kind, sender);
    m.boardId = boardId;
    m.turn = turn;
    m.cell = cell;
    return m;
}

tMessage BoardClosed(tAddress sender, std::uint32_t boardId) {
    tMessage m = WithSender(wire::kBoardClosed, sender);
    m.boardId = boardId;
    return m;
}
constexpr std::uint32_t kFirstBoardId = 1001;

struct tPeer {
    tAddress target = 0;
    tAddress own = 0;
    std::uint16_t port = 0; // network order
    int protocol = 17;
    tUdpReceiver receiver;

    bool Open() {
        int code = 0;
        if (!receiver.Open(protocol, code) || !receiver.Bind(port, code)) {
            std::fprintf(stderr, "cannot bind port %u: error %d\n", ntohs(port), code);
            return false;
        }
        return true;
    }

    void SendRaw(const std::uint8_t* data, std::size_t size) {
        const tSendResult r = SendUdp(data, size, target, port, protocol);
        if (r.step != ssSent)
            std::fprintf(stderr, "send failed at step %d, code %d\n", r.step, r.code);
    }

    void Send(const tMessage& m) {
        const tBytes b = wire::Encode(m);
        SendRaw(b.data(), b.size());
    }

    // Every 88-byte datagram that arrives within the time.
    std::vector<tMessage> Collect(int milliseconds, bool stopAtFirst) {
        std::vector<tMessage> got;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
                                  end - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0)
                break;
            int code = 0;
            if (receiver.WaitReadable(static_cast<int>(left), code) != 1)
                continue;
            std::uint8_t buffer[512];
            const long n = receiver.Receive(buffer, sizeof buffer, code);
            if (n <= 0)
                continue;
            if (auto d = wire::Decode(buffer, static_cast<std::size_t>(n))) {
                got.push_back(*d);
                if (stopAtFirst)
                    break;
            }
        }
        return got;
    }
};

// Answers to a hello or a request; a broadcast hello of the program is none.
bool IsAnswer(const tMessage& d) {
    return d.kind == wire::kOwnBoard || d.kind == wire::kBoard || d.kind == wire::kPresent ||
           d.kind == wire::kNoPlayers || d.kind == wire::kGameRunning;
}

bool IsBoard(const tMessage& d) {
    return d.kind == wire::kBoard || d.kind == wire::kOwnBoard;
}

std::string Describe(const std::vector<tMessage>& got) {
    std::string s;
    for (const tMessage& d : got) {
        if (!s.empty())
            s += ' ';
        s += std::to_string(d.kind);
        if (IsBoard(d))
            s += "(board " + std::to_string(d.boardId) + ", name of " +
                 std::to_string(wire::ToCp1252(d.name).size()) + " bytes)";
    }
    return s.empty() ? "nothing" : s;
}

bool Parse(int argc, char** argv, int needed, tPeer& peer) {
    if (argc != needed)
        return false;
    peer.target = ResolveHost(argv[2]);
    peer.own = ResolveHost(argv[4]);
    const long port = std::strtol(argv[3], nullptr, 10);
    if (peer.target == kBroadcastAddress || peer.own == kBroadcastAddress || port <= 0 ||
        port > 65535)
        return false;
    peer.port = htons(static_cast<std::uint16_t>(port));
    peer.protocol = UdpProtocolNumber();
    return true;
}

// The boards the program lists on a request, by id.
bool Lists(tPeer& peer, std::uint32_t boardId) {
    peer.Send(RequestBoards(peer.own));
    for (const tMessage& d : peer.Collect(600, false))
        if (IsBoard(d) && d.boardId == boardId)
            return true;
    return false;
}

int Hostile(tPeer& peer) {
    int faults = 0;
    // A datagram the program must not answer: whatever it sends within the
    // time is a fault.
    auto mustIgnore = [&](const char* name, const std::uint8_t* data, std::size_t size) {
        peer.SendRaw(data, size);
        std::vector<tMessage> answers;
        for (const tMessage& d : peer.Collect(250, false))
            if (IsAnswer(d))
                answers.push_back(d);
        std::printf("%-34s answered: %s\n", name, Describe(answers).c_str());
        if (!answers.empty())
            ++faults;
    };

    const tBytes hello = wire::Encode(Hello(peer.own));
    const tBytes request = wire::Encode(RequestBoards(peer.own));
    std::vector<std::uint8_t> longer(hello.begin(), hello.end());
    longer.push_back(0);
    mustIgnore("hello of 87 bytes", hello.data(), 87);
    mustIgnore("hello of 89 bytes", longer.data(), longer.size());
    mustIgnore("request of 87 bytes", request.data(), 87);
    longer.assign(request.begin(), request.end());
    longer.resize(1400, 0xA5);
    mustIgnore("request of 1400 bytes", longer.data(), longer.size());
    mustIgnore("empty datagram", hello.data(), 0);
    mustIgnore("one byte", request.data(), 1);

    // Unknown kinds carrying the sender where every kind has it.
    int unknownAnswered = 0;
    for (int kind = wire::kLastKind + 1; kind <= 255; ++kind) {
        tBytes b = hello;
        b[0] = static_cast<std::uint8_t>(kind);
        for (std::size_t i = 8; i < b.size(); ++i)
            b[i] = static_cast<std::uint8_t>(i * 7 + kind);
        peer.SendRaw(b.data(), b.size());
        for (const tMessage& d : peer.Collect(kind % 16 == 0 ? 100 : 5, false))
            unknownAnswered += IsAnswer(d);
    }
    unknownAnswered += static_cast<int>(peer.Collect(250, false).size());
    std::printf("%-34s answers: %d\n", "kinds 11..255", unknownAnswered);
    faults += unknownAnswered > 0;

    const tBytes zeroHello = wire::Encode(Hello(0));
    const tBytes zeroRequest = wire::Encode(RequestBoards(0));
    const tBytes zeroPresent = wire::Encode(Present(0));
    const tBytes zeroText = wire::Encode(Text(0, "from nobody"));
    tMessage zeroBoard = Board(0, "Nobody", 77);
    zeroBoard.kind = wire::kOwnBoard;
    const tBytes zeroOwn = wire::Encode(zeroBoard);
    const tBytes zeroHome = wire::Encode(Board(0, "Nobody", 78));
    mustIgnore("hello from sender 0", zeroHello.data(), zeroHello.size());
    mustIgnore("request from sender 0", zeroRequest.data(), zeroRequest.size());
    mustIgnore("present from sender 0", zeroPresent.data(), zeroPresent.size());
    mustIgnore("text from sender 0", zeroText.data(), zeroText.size());
    mustIgnore("own board from sender 0", zeroOwn.data(), zeroOwn.size());
    mustIgnore("board with home 0", zeroHome.data(), zeroHome.size());
    if (Lists(peer, 77) || Lists(peer, 78)) {
        std::printf("a board of sender 0 was taken over\n");
        ++faults;
    }

    // Every byte behind the kind non-zero: the strings have no terminator.
    tBytes text = wire::Encode(Text(peer.own, ""));
    for (std::size_t i = 12; i < text.size(); ++i)
        text[i] = static_cast<std::uint8_t>('A' + i % 26);
    peer.SendRaw(text.data(), text.size());
    std::printf("%-34s sent\n", "text without a zero byte");

    std::uint32_t boardId = kFirstBoardId;
    auto announce = [&]() {
        tMessage d = Board(peer.own, "", boardId);
        d.kind = wire::kOwnBoard;
        tBytes b = wire::Encode(d);
        for (std::size_t i = 60; i < 80; ++i)
            b[i] = static_cast<std::uint8_t>('a' + i % 26);
        peer.SendRaw(b.data(), b.size());
        peer.Collect(100, false);
    };
    announce();
    peer.Send(RequestBoards(peer.own));
    const std::vector<tMessage> listed = peer.Collect(600, false);
    std::printf("%-34s listed: %s\n", "board with a name without zero", Describe(listed).c_str());
    bool found = false;
    for (const tMessage& d : listed)
        found |= d.kind == wire::kBoard && d.boardId == boardId &&
                 wire::ToCp1252(d.name).size() < wire::kNameBytes;
    if (!found) {
        std::printf("the board with a name without a zero byte is not listed intact\n");
        ++faults;
    }

    // Moves for a board the program does not know change nothing.
    peer.Send(Move(wire::kTileLaid, peer.own, boardId + 500, 1, kValidCell));
    peer.Send(Move(wire::kTileConfirmed, peer.own, boardId + 500, 1, 0xFFFF));
    peer.Send(Move(wire::kTileLaid, peer.own, 0, 1, kValidCell));
    peer.Send(BoardClosed(peer.own, boardId + 500));
    const bool kept = Lists(peer, boardId);
    std::printf("%-34s board kept: %s\n", "moves for unknown boards", kept ? "yes" : "no");
    faults += !kept;

    // A move the board cannot take closes the copy; each case gets a fresh one.
    struct tMove {
        const char* name;
        bool confirmed;
        int turn;
        std::uint16_t cell;
    };
    const tMove moves[] = {
        {"laid on unknown cell 65535", false, 1, 0xFFFF},
        {"confirmed on unknown cell 0", true, 1, 0},
        {"laid on unknown cell 334", false, 1, 334},
        {"laid for turn 200", false, 200, kValidCell},
        {"confirmed for turn 0", true, 0, kValidCell},
        {"confirmed for turn 255", true, 255, kValidCell},
    };
    for (const tMove& m : moves) {
        ++boardId;
        announce();
        const auto turn = static_cast<std::uint8_t>(m.turn);
        peer.Send(Move(m.confirmed ? wire::kTileConfirmed : wire::kTileLaid, peer.own, boardId,
                       turn, m.cell));
        std::printf("%-34s board kept: %s\n", m.name, Lists(peer, boardId) ? "yes" : "no");
    }

    std::printf("hostile set done, %d fault(s)\n", faults);
    return faults == 0 ? 0 : 1;
}

int Ask(tPeer& peer, int timeoutMs) {
    peer.Send(Hello(peer.own));
    peer.Send(RequestBoards(peer.own));
    std::vector<tMessage> answers;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (answers.empty() && std::chrono::steady_clock::now() < end) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        for (const tMessage& d : peer.Collect(static_cast<int>(left.count()) + 1, true))
            if (IsAnswer(d))
                answers.push_back(d);
    }
    // The rest of the answer follows at once.
    for (const tMessage& d : peer.Collect(300, false))
        if (IsAnswer(d))
            answers.push_back(d);
    std::printf("received: %s\n", Describe(answers).c_str());
    return answers.empty() ? 1 : 0;
}

int Usage() {
    std::fprintf(stderr, "usage: vessrin_peer hostile <address> <port> <own-address>\n"
                         "       vessrin_peer ask <address> <port> <own-address> <timeout-ms>\n"
                         "       vessrin_peer selftest\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc < 2)
        return Usage();
    tPeer peer;
    const std::string command = argv[1];
    if (command == "selftest")
        return argc == 2 && wire::SelfTest() == 0 ? 0 : 1;
    if (command == "hostile") {
        if (!Parse(argc, argv, 5, peer))
            return Usage();
        return peer.Open() ? Hostile(peer) : 2;
    }
    if (command == "ask") {
        if (!Parse(argc, argv, 6, peer))
            return Usage();
        const long timeout = std::strtol(argv[5], nullptr, 10);
        if (timeout <= 0)
            return Usage();
        return peer.Open() ? Ask(peer, static_cast<int>(timeout)) : 2;
    }
    return Usage();
}
