// UDP sockets, host name, host and protocol lookups, with errors as the socket error codes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/ip_list.h"

// The socket error code (10048 for EADDRINUSE, ...) of an errno value, so that
// every message uses the fixed socket error texts. An errno without a code of
// its own is passed on unchanged and reads as "Error n in WinSock call.".
int SocketCodeFromErrno(int err);
// The same for a getaddrinfo result (EAI_*); EAI_SYSTEM uses the errno given.
int SocketCodeFromLookup(int eai, int err);

// The own addresses from a host lookup and the IPv4 addresses of the
// interfaces that are up (loopback excluded, in interface order): the lookup
// wins unless it yields only loopback addresses (127.x.x.x); then the
// interfaces do, when there are any. Each address appears once.
std::vector<tAddress> ChooseOwnAddresses(const std::vector<tAddress>& lookup,
                                         const std::vector<tAddress>& interfaces);
bool IsLoopback(tAddress a);

// This PC's network name; false with the socket error code on failure.
bool HostName(std::string& name, int& code);
// Every IPv4 address the host database gives for a name, in its order.
bool LookUpHost(const std::string& name, std::vector<tAddress>& addresses, int& code);
std::vector<tAddress> InterfaceAddresses();
// The first IPv4 address of a host name or dotted address; 255.255.255.255
// when the lookup fails.
tAddress ResolveHost(const std::string& name);
// The protocol number of "udp" from the protocol database, 17 without one.
int UdpProtocolNumber();

// One IPv4 address of an interface, as the kernel lists it.
struct tInterfaceAddress {
    std::string name; // the interface
    tAddress address = 0;
    tAddress broadcast = 0; // its directed broadcast address; 0 or the address when none was set
    tAddress netmask = 0;
    bool up = false;
    bool loopback = false;
    bool canBroadcast = false;
};
std::vector<tInterfaceAddress> ListInterfaceAddresses();

// Where a datagram "to all PCs" goes: the directed broadcast address of every
// attached network (up, broadcast-capable, not loopback; from the netmask
// where the interface has no broadcast address set), each once, and
// 255.255.255.255 only when the kernel would send it out of an interface that
// no directed broadcast covers, so that no network gets the same datagram
// twice. limitedSource: RouteSourceFor(255.255.255.255), 0 for no route.
std::vector<tAddress> BroadcastTargets(const std::vector<tInterfaceAddress>& interfaces,
                                       tAddress limitedSource);
// The own address the kernel would send a datagram to the destination from;
// 0 when it has no route there (255.255.255.255 on a LAN without a default
// route). Nothing is sent. The port is in network byte order.
tAddress RouteSourceFor(tAddress destination, std::uint16_t portNetOrder, int protocol);
// The own address to name as the sender for a destination: the one the
// datagram leaves from, when it is in the list, so that the answer takes the
// same way back (over a VPN, say, whatever the addresses look like); else
// the nearest by OwnAddressFor.
tAddress PreferredOwnAddress(const tIpList& own, tAddress destination, tAddress routeSource);
tAddress PreferredOwnAddress(const tIpList& own, tAddress destination);

// The steps of sending one datagram on a socket of its own.
enum tSendStep : std::uint8_t {
    ssSent,       // all bytes went out
    ssOpen,       // "Open socket: "
    ssBroadcast,  // "set socket to broadcast: "
    ssConnect,    // the default destination was refused: the peer is forgotten, no message
    ssSend,       // "send to <name>: "
    ssIncomplete, // "send to <name> incomplete"
};
struct tSendResult {
    tSendStep step = ssSent;
    int code = 0; // socket error code for ssOpen, ssBroadcast, ssConnect, ssSend
};

// Opens a socket, allows broadcasts for 255.255.255.255, connects it to the
// destination as its default, sends, shuts it down and closes it. The port is
// in network byte order. 255.255.255.255 is sent to every target of
// BroadcastTargets; it counts as sent when one of them took it, and a
// network that did not take it is no failure as long as another did.
tSendResult SendUdp(const std::uint8_t* data, std::size_t size, tAddress to,
                    std::uint16_t portNetOrder, int protocol);
// The message for a failed send (empty for ssSent and ssConnect).
std::string SendFailureText(const tSendResult& result, tAddress to);

// Wakes a thread that waits for its socket, from any other thread, so that
// the waiting thread needs no timeout to notice a change.
class tWakeSignal {
public:
    tWakeSignal();
    tWakeSignal(const tWakeSignal&) = delete;
    tWakeSignal& operator=(const tWakeSignal&) = delete;
    ~tWakeSignal();

    // False when the kernel gave no event object; waits then end after 50 ms
    // by themselves, so that changes are still seen.
    bool Ok() const { return fd_ >= 0; }
    void Signal();
    // Takes back every signal given so far.
    void Clear();
    // Waits until a signal is given.
    void Wait() const;
    int Fd() const { return fd_; }
    // The longest wait in milliseconds, -1 for none.
    int WaitLimit() const { return Ok() ? -1 : 50; }

private:
    int fd_ = -1;
};

// What ended a wait of the receiver.
enum tWaitResult : int {
    wrNothing = 0,
    wrReadable = 1, // a datagram is waiting
    wrWoken = 2,    // the signal was given
};

// The listening socket of the receiver.
class tUdpReceiver {
public:
    tUdpReceiver() = default;
    tUdpReceiver(const tUdpReceiver&) = delete;
    tUdpReceiver& operator=(const tUdpReceiver&) = delete;
    ~tUdpReceiver();

    bool Open(int protocol, int& code);
    bool Bind(std::uint16_t portNetOrder, int& code); // any local address
    bool MakeNonBlocking(int& code);
    // 1 readable, 0 nothing within the time, -1 error.
    int WaitReadable(int microseconds, int& code);
    // Waits until a datagram arrives or the signal is given: a combination
    // of tWaitResult, or -1 on an error.
    int WaitReadableOrWoken(const tWakeSignal& wake, int& code);
    // The full length of the next datagram (also when it is longer than the
    // buffer, which then holds its start); 0 when nothing was waiting after
    // all; -1 on an error.
    long Receive(std::uint8_t* buffer, std::size_t size, int& code);
    bool Shutdown(int& code);
    bool Close(int& code);
    bool IsOpen() const { return fd_ >= 0; }
    // The bound port in network byte order (for a socket bound to port 0).
    std::uint16_t BoundPort() const;

private:
    int fd_ = -1;
};
