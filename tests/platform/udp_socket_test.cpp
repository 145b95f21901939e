// Socket layer: error codes, own-address choice, send messages and real loopback datagrams.
#include <arpa/inet.h>
#include <cerrno>
#include <gtest/gtest.h>
#include <netdb.h>
#include <vector>

#include "core/datagram.h"
#include "core/ip_list.h"
#include "platform/udp_socket.h"

namespace {

const tAddress kLoop = AddressFromOctets(127, 0, 0, 1);
const tAddress kDebianLoop = AddressFromOctets(127, 0, 1, 1);
const tAddress kA = AddressFromOctets(192, 168, 1, 5);
const tAddress kB = AddressFromOctets(10, 0, 0, 7);

TEST(SocketCodes, ErrnoValuesBecomeTheSocketErrorCodes) {
    struct {
        int err;
        int code;
    } const cases[] = {
        {EADDRINUSE, 10048},
        {EACCES, 10013},
        {ECONNREFUSED, 10061},
        {ENETUNREACH, 10051},
        {EHOSTUNREACH, 10065},
        {EWOULDBLOCK, 10035},
        {EINVAL, 10022},
        {EMSGSIZE, 10040},
        {EADDRNOTAVAIL, 10049},
        {ENOBUFS, 10055},
        {EMFILE, 10024},
        {ENOTSOCK, 10038},
        {EAFNOSUPPORT, 10047},
        {ENOTCONN, 10057},
        {EINTR, 10004},
        {EBADF, 10009},
        {0, 0},
        {ENOENT, ENOENT}, // no code of its own: passed on
    };
    for (const auto& c : cases)
        EXPECT_EQ(SocketCodeFromErrno(c.err), c.code) << "errno " << c.err;
}

TEST(SocketCodes, LookupFailuresBecomeTheHostErrorCodes) {
    struct {
        int eai;
        int err;
        int code;
    } const cases[] = {
        {EAI_NONAME, 0, 11001},
        {EAI_AGAIN, 0, 11002},
        {EAI_FAIL, 0, 11003},
        {EAI_MEMORY, 0, 10055},
        {EAI_SYSTEM, ECONNREFUSED, 10061},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SocketCodeFromLookup(c.eai, c.err), c.code) << "eai " << c.eai;
}

TEST(OwnAddresses, InterfacesStandInOnlyForALoopbackLookup) {
    struct {
        const char* what;
        std::vector<tAddress> lookup;
        std::vector<tAddress> interfaces;
        std::vector<tAddress> expected;
    } const cases[] = {
        {"real lookup wins", {kA, kB}, {kB}, {kA, kB}},
        {"lookup keeps its order", {kB, kA}, {kA, kB}, {kB, kA}},
        {"loopback only: interfaces", {kDebianLoop}, {kB, kA}, {kB, kA}},
        {"loopback and real: lookup", {kDebianLoop, kA}, {kB}, {kDebianLoop, kA}},
        {"no interfaces: loopback stays", {kLoop}, {}, {kLoop}},
        {"duplicates once", {kA, kA, kB}, {}, {kA, kB}},
        {"loopback interface dropped", {kLoop}, {kLoop, kB, kB}, {kB}},
        {"empty lookup: interfaces", {}, {kA}, {kA}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseOwnAddresses(c.lookup, c.interfaces), c.expected) << c.what;
}

// Interfaces as the kernel lists them: name, address, directed broadcast,
// up, loopback, broadcast-capable, netmask.
tInterfaceAddress Interface(const char* name, tAddress address, tAddress broadcast, bool up = true,
                            bool loopback = false, bool canBroadcast = true, tAddress netmask = 0) {
    tInterfaceAddress i;
    i.name = name;
    i.address = address;
    i.broadcast = broadcast;
    i.netmask = netmask;
    i.up = up;
    i.loopback = loopback;
    i.canBroadcast = canBroadcast;
    return i;
}

TEST(BroadcastTargets, EveryAttachedNetworkOnceAndAllPcsOnlyOverAnUncoveredRoute) {
    const tAddress ethA = AddressFromOctets(192, 168, 1, 5);
    const tAddress ethA2 = AddressFromOctets(192, 168, 1, 6);
    const tAddress ethBcast = AddressFromOctets(192, 168, 1, 255);
    const tAddress ethB = AddressFromOctets(172, 16, 4, 9);
    const tAddress ethBBcast = AddressFromOctets(172, 16, 7, 255); // a /22
    const tAddress wlan = AddressFromOctets(10, 0, 0, 7);
    const tAddress wlanBcast = AddressFromOctets(10, 0, 0, 255);
    const tAddress vpn = AddressFromOctets(10, 8, 0, 2);
    const tInterfaceAddress lo = Interface("lo", kLoop, 0, true, true, false);
    struct {
        const char* what;
        std::vector<tInterfaceAddress> interfaces;
        tAddress limitedSource;
        std::vector<tAddress> expected;
    } const cases[] = {
        {"LAN with a default route: its network once",
         {lo, Interface("eth0", ethA, ethBcast)},
         ethA,
         {ethBcast}},
        {"LAN without a default route", {lo, Interface("eth0", ethA, ethBcast)}, 0, {ethBcast}},
        {"two LANs, default route over the second",
         {lo, Interface("eth0", ethA, ethBcast), Interface("wlan0", wlan, wlanBcast)},
         wlan,
         {ethBcast, wlanBcast}},
        {"default route over a tunnel without broadcasts",
         {Interface("eth0", ethA, ethBcast), Interface("wg0", vpn, 0, true, false, false)},
         vpn,
         {ethBcast, kBroadcastAddress}},
        {"two addresses of one network: once",
         {Interface("eth0", ethA, ethBcast), Interface("eth0", ethA2, ethBcast)},
         ethA2,
         {ethBcast}},
        {"two networks on one interface, route from the second address",
         {Interface("eth0", ethA, ethBcast), Interface("eth0", ethB, ethBBcast)},
         ethB,
         {ethBcast, ethBBcast}},
        {"an interface that is down is no network",
         {Interface("eth0", ethA, ethBcast, false), Interface("wlan0", wlan, wlanBcast)},
         0,
         {wlanBcast}},
        {"a down interface does not cover the route",
         {Interface("eth0", ethA, ethBcast, false)},
         ethA,
         {kBroadcastAddress}},
        {"no broadcast address set: the netmask's",
         {Interface("eth0", ethA, 0, true, false, true, AddressFromOctets(255, 255, 255, 0)),
          Interface("eth1", ethB, ethB, true, false, true, AddressFromOctets(255, 255, 252, 0))},
         0,
         {ethBcast, ethBBcast}},
        {"neither broadcast address nor netmask", {Interface("eth0", ethA, ethA)}, 0, {}},
        {"a host route names itself",
         {Interface("eth0", ethA, ethA, true, false, true, kBroadcastAddress)},
         0,
         {}},
        {"loopback only", {lo}, 0, {}},
        {"route from an address no interface lists", {}, ethA, {kBroadcastAddress}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BroadcastTargets(c.interfaces, c.limitedSource), c.expected) << c.what;
}

// Over a VPN the nearest address by the exclusive-or rule can be the LAN's:
// 10.8.0.2 ^ 192.168.1.3 is 0x0101A0CA, 10.8.0.2 ^ 10.8.0.1 is 0x03000000
// (first octet least significant). The address the datagram leaves from wins.
TEST(PreferredOwnAddress, TheAddressTheDatagramLeavesFromWhenItIsOwn) {
    const tAddress lan = AddressFromOctets(192, 168, 1, 3);
    const tAddress vpn = AddressFromOctets(10, 8, 0, 1);
    const tAddress peer = AddressFromOctets(10, 8, 0, 2);
    struct {
        const char* what;
        std::vector<tAddress> own;
        tAddress routeSource;
        tAddress expected;
    } const cases[] = {
        {"the route leaves from the VPN address", {lan, vpn}, vpn, vpn},
        {"no route: the nearest", {lan, vpn}, 0, lan},
        {"a source that is no own address: the nearest", {lan, vpn}, kA, lan},
        {"one address", {lan}, vpn, lan},
        {"none", {}, vpn, 0},
    };
    for (const auto& c : cases) {
        tIpList own;
        for (tAddress a : c.own)
            own.Add(a);
        EXPECT_EQ(PreferredOwnAddress(own, peer, c.routeSource), c.expected) << c.what;
    }
    EXPECT_EQ(RouteSourceFor(kLoop, htons(9), UdpProtocolNumber()), kLoop);
}

TEST(SendMessages, EachFailedStepHasItsText) {
    const tAddress peer = AddressFromOctets(10, 0, 0, 2);
    struct {
        tSendResult result;
        tAddress to;
        const char* text;
    } const cases[] = {
        {{ssOpen, 10024}, peer, "Open socket: wsaEMFile - Too many open files."},
        {{ssBroadcast, 10013},
         kBroadcastAddress,
         "set socket to broadcast: wsaEAcces - Permission denied."},
        {{ssSend, 10065}, peer, "send to 10.0.0.2: wsaEHostUnreach - No route to host."},
        {{ssSend, 10055},
         kBroadcastAddress,
         "send to any PC: wsaENoBufs - No buffer space available."},
        {{ssIncomplete, 0}, peer, "send to 10.0.0.2 incomplete"},
        {{ssConnect, 10051}, peer, ""},
        {{ssSent, 0}, peer, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SendFailureText(c.result, c.to), c.text);
}

class LoopbackSocket : public ::testing::Test {
protected:
    void SetUp() override {
        int code = 0;
        ASSERT_TRUE(receiver.Open(UdpProtocolNumber(), code));
        ASSERT_TRUE(receiver.Bind(0, code));
        ASSERT_TRUE(receiver.MakeNonBlocking(code));
        port = receiver.BoundPort();
        ASSERT_NE(port, 0);
    }
    long Next(std::vector<std::uint8_t>& buffer) {
        int code = 0;
        if (receiver.WaitReadable(1000000, code) != 1)
            return -2;
        return receiver.Receive(buffer.data(), buffer.size(), code);
    }
    tUdpReceiver receiver;
    std::uint16_t port = 0;
};

TEST_F(LoopbackSocket, ADatagramArrivesWholeAndItsRealLengthIsReported) {
    const tDatagramBytes hello = tDatagram::Hello(kA).Encode();
    ASSERT_EQ(SendUdp(hello.data(), hello.size(), kLoop, port, UdpProtocolNumber()).step, ssSent);
    std::vector<std::uint8_t> buffer(kDatagramSize + 1);
    ASSERT_EQ(Next(buffer), static_cast<long>(kDatagramSize));
    EXPECT_TRUE(std::equal(hello.begin(), hello.end(), buffer.begin()));

    // A longer datagram must not pass for one of 88 bytes, nor a shorter one.
    for (std::size_t size : {std::size_t{87}, std::size_t{200}}) {
        const std::vector<std::uint8_t> bytes(size, 7);
        ASSERT_EQ(SendUdp(bytes.data(), bytes.size(), kLoop, port, UdpProtocolNumber()).step,
                  ssSent);
        EXPECT_EQ(Next(buffer), static_cast<long>(size));
    }
    int code = 0;
    EXPECT_EQ(receiver.Receive(buffer.data(), buffer.size(), code), 0) << "nothing waiting";
}

TEST_F(LoopbackSocket, ASecondSocketOnThePortFailsWithAddressInUse) {
    tUdpReceiver second;
    int code = 0;
    ASSERT_TRUE(second.Open(UdpProtocolNumber(), code));
    EXPECT_FALSE(second.Bind(port, code));
    EXPECT_EQ(code, 10048);
}

TEST_F(LoopbackSocket, AnUnconnectedSocketShutsDownAndClosesWithoutError) {
    int code = 0;
    EXPECT_TRUE(receiver.Shutdown(code));
    EXPECT_TRUE(receiver.Close(code));
    EXPECT_FALSE(receiver.IsOpen());
}

// The receiver's wait ends for a datagram, for the signal, or for both, and
// a cleared signal no longer ends it.
TEST_F(LoopbackSocket, TheWaitEndsForADatagramOrTheSignalUntilCleared) {
    struct {
        const char* what;
        int signals;
        bool clear;
        bool datagram;
        int expected;
    } const cases[] = {
        {"signal", 1, false, false, wrWoken},
        {"datagram", 0, false, true, wrReadable},
        {"both", 1, false, true, wrReadable | wrWoken},
        {"signals cleared, datagram", 3, true, true, wrReadable},
    };
    tWakeSignal wake;
    ASSERT_TRUE(wake.Ok());
    const tDatagramBytes hello = tDatagram::Hello(kLoop).Encode();
    std::vector<std::uint8_t> buffer(100);
    for (const auto& c : cases) {
        for (int i = 0; i < c.signals; ++i)
            wake.Signal();
        if (c.clear)
            wake.Clear();
        if (c.datagram) {
            ASSERT_EQ(SendUdp(hello.data(), hello.size(), kLoop, port, UdpProtocolNumber()).step,
                      ssSent);
        }
        int code = 0;
        EXPECT_EQ(receiver.WaitReadableOrWoken(wake, code), c.expected) << c.what;
        // Nothing left over for the next case.
        wake.Clear();
        if (c.datagram) {
            EXPECT_EQ(receiver.Receive(buffer.data(), buffer.size(), code), 88) << c.what;
        }
    }
}

TEST(HostLookup, DottedNamesResolveAndUnknownNamesGiveAllPcs) {
    EXPECT_EQ(ResolveHost("127.0.0.1"), kLoop);
    EXPECT_EQ(ResolveHost("198.51.100.7"), AddressFromOctets(198, 51, 100, 7));
    EXPECT_EQ(ResolveHost("no-such-pc.invalid"), kBroadcastAddress);
    EXPECT_EQ(ResolveHost(""), kBroadcastAddress);
    std::vector<tAddress> found;
    int code = 0;
    EXPECT_FALSE(LookUpHost("no-such-pc.invalid", found, code));
    EXPECT_GE(code, 11001);
    EXPECT_LE(code, 11004);
}

TEST(HostLookup, ThisPcHasANameAndUdpItsNumber) {
    std::string name;
    int code = 0;
    ASSERT_TRUE(HostName(name, code));
    EXPECT_FALSE(name.empty());
    EXPECT_EQ(UdpProtocolNumber(), 17);
}

} // namespace
