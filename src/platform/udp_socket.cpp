// BSD sockets behind the socket error codes: send path, receiving socket, lookups.
#include "platform/udp_socket.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include "core/datagram.h"
#include "core/winsock_errors.h"

namespace {

struct tErrnoCode {
    int err;
    int code;
};

// The socket error codes are the BSD errno values above 10000; Linux numbers
// its errno values differently, so each one is looked up.
const tErrnoCode kErrnoCodes[] = {
    {EINTR, 10004},        {EBADF, 10009},           {EACCES, 10013},
    {EPERM, 10013},        {EFAULT, 10014},          {EINVAL, 10022},
    {EMFILE, 10024},       {ENFILE, 10024},          {EWOULDBLOCK, 10035},
    {EINPROGRESS, 10036},  {EALREADY, 10037},        {ENOTSOCK, 10038},
    {EDESTADDRREQ, 10039}, {EMSGSIZE, 10040},        {EPROTOTYPE, 10041},
    {ENOPROTOOPT, 10042},  {EPROTONOSUPPORT, 10043}, {ESOCKTNOSUPPORT, 10044},
    {EOPNOTSUPP, 10045},   {EPFNOSUPPORT, 10046},    {EAFNOSUPPORT, 10047},
    {EADDRINUSE, 10048},   {EADDRNOTAVAIL, 10049},   {ENETDOWN, 10050},
    {ENETUNREACH, 10051},  {ENETRESET, 10052},       {ECONNABORTED, 10053},
    {ECONNRESET, 10054},   {ENOBUFS, 10055},         {ENOMEM, 10055},
    {EISCONN, 10056},      {ENOTCONN, 10057},        {ESHUTDOWN, 10058},
    {ETOOMANYREFS, 10059}, {ETIMEDOUT, 10060},       {ECONNREFUSED, 10061},
    {ELOOP, 10062},        {ENAMETOOLONG, 10063},    {EHOSTDOWN, 10064},
    {EHOSTUNREACH, 10065}, {ENOTEMPTY, 10066},       {EUSERS, 10068},
    {EDQUOT, 10069},       {ESTALE, 10070},          {EREMOTE, 10071},
};

sockaddr_in Endpoint(tAddress address, std::uint16_t portNetOrder) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = portNetOrder;
    a.sin_addr.s_addr = address;
    return a;
}

int LastCode() {
    return SocketCodeFromErrno(errno);
}

// Closes the send socket on every way out.
class tSocketGuard {
public:
    explicit tSocketGuard(int fd) : fd_(fd) {}
    tSocketGuard(const tSocketGuard&) = delete;
    tSocketGuard& operator=(const tSocketGuard&) = delete;
    ~tSocketGuard() {
        if (fd_ >= 0)
            ::close(fd_);
    }

private:
    int fd_;
};

} // namespace

int SocketCodeFromErrno(int err) {
    for (const tErrnoCode& e : kErrnoCodes)
        if (e.err == err)
            return e.code;
    return err;
}

int SocketCodeFromLookup(int eai, int err) {
    switch (eai) {
    case 0:
        return 0;
    case EAI_NONAME:
#ifdef EAI_NODATA
    case EAI_NODATA:
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
#endif
        return 11001; // host not found
    case EAI_AGAIN:
        return 11002;
    case EAI_FAIL:
        return 11003;
    case EAI_MEMORY:
        return 10055;
    case EAI_FAMILY:
        return 10047;
    case EAI_SOCKTYPE:
        return 10044;
    case EAI_SERVICE:
        return 11004;
    case EAI_SYSTEM:
        return SocketCodeFromErrno(err);
    default:
        return 11003;
    }
}

bool IsLoopback(tAddress a) {
    return (a & 0xFFu) == 127u; // first octet, held in the lowest byte
}

std::vector<tAddress> ChooseOwnAddresses(const std::vector<tAddress>& lookup,
                                         const std::vector<tAddress>& interfaces) {
    const bool onlyLoopback = std::all_of(lookup.begin(), lookup.end(), IsLoopback);
    std::vector<tAddress> chosen;
    const std::vector<tAddress>& from = onlyLoopback && !interfaces.empty() ? interfaces : lookup;
    for (tAddress a : from) {
        if (a == 0 || std::find(chosen.begin(), chosen.end(), a) != chosen.end())
            continue;
        if (&from == &interfaces && IsLoopback(a))
            continue;
        chosen.push_back(a);
    }
    return chosen;
}

bool HostName(std::string& name, int& code) {
    char buffer[256] = {};
    if (::gethostname(buffer, sizeof buffer - 1) != 0) {
        code = LastCode();
        return false;
    }
    name = buffer;
    return true;
}

bool LookUpHost(const std::string& name, std::vector<tAddress>& addresses, int& code) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* result = nullptr;
    const int eai = ::getaddrinfo(name.c_str(), nullptr, &hints, &result);
    if (eai != 0) {
        code = SocketCodeFromLookup(eai, errno);
        return false;
    }
    addresses.clear();
    for (addrinfo* p = result; p; p = p->ai_next)
        if (p->ai_family == AF_INET && p->ai_addr) {
            const tAddress a = reinterpret_cast<sockaddr_in*>(p->ai_addr)->sin_addr.s_addr;
            if (std::find(addresses.begin(), addresses.end(), a) == addresses.end())
                addresses.push_back(a);
        }
    ::freeaddrinfo(result);
    if (addresses.empty()) {
        code = 11004;
        return false;
    }
    return true;
}

std::vector<tAddress> InterfaceAddresses() {
    std::vector<tAddress> addresses;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return addresses;
    for (ifaddrs* p = list; p; p = p->ifa_next) {
        if (!p->ifa_addr || p->ifa_addr->sa_family != AF_INET)
            continue;
        if (!(p->ifa_flags & IFF_UP) || (p->ifa_flags & IFF_LOOPBACK))
            continue;
        addresses.push_back(reinterpret_cast<sockaddr_in*>(p->ifa_addr)->sin_addr.s_addr);
    }
    ::freeifaddrs(list);
    return addresses;
}

tAddress ResolveHost(const std::string& name) {
    std::vector<tAddress> addresses;
    int code = 0;
    if (name.empty() || !LookUpHost(name, addresses, code))
        return kBroadcastAddress;
    return addresses.front();
}

int UdpProtocolNumber() {
    if (const protoent* p = ::getprotobyname("udp"))
        return p->p_proto;
    return IPPROTO_UDP;
}

std::vector<tInterfaceAddress> ListInterfaceAddresses() {
    std::vector<tInterfaceAddress> interfaces;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return interfaces;
    for (ifaddrs* p = list; p; p = p->ifa_next) {
        if (!p->ifa_addr || p->ifa_addr->sa_family != AF_INET)
            continue;
        tInterfaceAddress entry;
        entry.name = p->ifa_name ? p->ifa_name : "";
        entry.address = reinterpret_cast<sockaddr_in*>(p->ifa_addr)->sin_addr.s_addr;
        entry.up = (p->ifa_flags & IFF_UP) != 0;
        entry.loopback = (p->ifa_flags & IFF_LOOPBACK) != 0;
        entry.canBroadcast = (p->ifa_flags & IFF_BROADCAST) != 0;
        if (p->ifa_netmask && p->ifa_netmask->sa_family == AF_INET)
            entry.netmask = reinterpret_cast<sockaddr_in*>(p->ifa_netmask)->sin_addr.s_addr;
        // The same field holds the peer of a point-to-point link.
        if (entry.canBroadcast && p->ifa_broadaddr && p->ifa_broadaddr->sa_family == AF_INET)
            entry.broadcast = reinterpret_cast<sockaddr_in*>(p->ifa_broadaddr)->sin_addr.s_addr;
        interfaces.push_back(entry);
    }
    ::freeifaddrs(list);
    return interfaces;
}

std::vector<tAddress> BroadcastTargets(const std::vector<tInterfaceAddress>& interfaces,
                                       tAddress limitedSource) {
    std::vector<tAddress> targets;
    std::vector<std::string> covered;
    for (const tInterfaceAddress& i : interfaces) {
        // An address added without a broadcast address still has its
        // network's; the C library then reports the address itself there.
        const bool set = i.broadcast != 0 && i.broadcast != i.address;
        const tAddress broadcast =
            set ? i.broadcast : (i.netmask != 0 ? i.address | ~i.netmask : 0);
        if (!i.up || i.loopback || !i.canBroadcast || broadcast == 0 ||
            broadcast == kBroadcastAddress || broadcast == i.address)
            continue;
        if (std::find(targets.begin(), targets.end(), broadcast) == targets.end())
            targets.push_back(broadcast);
        if (std::find(covered.begin(), covered.end(), i.name) == covered.end())
            covered.push_back(i.name);
    }
    if (limitedSource == 0)
        return targets;
    const auto source = std::find_if(
        interfaces.begin(), interfaces.end(),
        [limitedSource](const tInterfaceAddress& i) { return i.address == limitedSource; });
    const bool leavesCovered =
        source != interfaces.end() &&
        std::find(covered.begin(), covered.end(), source->name) != covered.end();
    if (!leavesCovered)
        targets.push_back(kBroadcastAddress);
    return targets;
}

tAddress PreferredOwnAddress(const tIpList& own, tAddress destination, tAddress routeSource) {
    if (routeSource != 0 && own.Contains(routeSource))
        return routeSource;
    return OwnAddressFor(own, destination);
}

tAddress PreferredOwnAddress(const tIpList& own, tAddress destination) {
    // With one address there is nothing to choose. The discard port: any
    // port asks the same route.
    return PreferredOwnAddress(
        own, destination, own.Count() > 1 ? RouteSourceFor(destination, htons(9), IPPROTO_UDP) : 0);
}

tAddress RouteSourceFor(tAddress destination, std::uint16_t portNetOrder, int protocol) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, protocol);
    if (fd < 0)
        return 0;
    tSocketGuard guard(fd);
    const int on = 1;
    if (::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0)
        return 0;
    // Connecting a datagram socket sends nothing; it only asks for the route.
    // Broadcasts are allowed, or a broadcast destination would be refused.
    const sockaddr_in target = Endpoint(destination, portNetOrder);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0)
        return 0;
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0)
        return 0;
    return local.sin_addr.s_addr;
}

namespace {

tSendResult SendOne(const std::uint8_t* data, std::size_t size, tAddress to, bool broadcast,
                    std::uint16_t portNetOrder, int protocol) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, protocol);
    if (fd < 0)
        return {ssOpen, LastCode()};
    tSocketGuard guard(fd);
    if (broadcast) {
        const int on = 1;
        if (::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0)
            return {ssBroadcast, LastCode()};
    }
    const sockaddr_in target = Endpoint(to, portNetOrder);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0)
        return {ssConnect, LastCode()};
    const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
    tSendResult result;
    if (sent < 0)
        result = {ssSend, LastCode()};
    else if (static_cast<std::size_t>(sent) != size)
        result = {ssIncomplete, 0};
    ::shutdown(fd, SHUT_RDWR);
    return result;
}

} // namespace

tSendResult SendUdp(const std::uint8_t* data, std::size_t size, tAddress to,
                    std::uint16_t portNetOrder, int protocol) {
    if (to != kBroadcastAddress)
        return SendOne(data, size, to, false, portNetOrder, protocol);
    const std::vector<tAddress> targets = BroadcastTargets(
        ListInterfaceAddresses(), RouteSourceFor(kBroadcastAddress, portNetOrder, protocol));
    // No network to reach is what the refused default destination said before.
    tSendResult outcome{ssConnect, SocketCodeFromErrno(ENETUNREACH)};
    bool sent = false;
    bool failureShown = false;
    for (tAddress target : targets) {
        const tSendResult result = SendOne(data, size, target, true, portNetOrder, protocol);
        if (result.step == ssSent) {
            sent = true;
        } else if (!failureShown) {
            // The first failure that has a message speaks for all.
            outcome = result;
            failureShown = result.step != ssConnect;
        }
    }
    if (sent)
        return {};
    return outcome;
}

std::string SendFailureText(const tSendResult& result, tAddress to) {
    const std::string name = to == kBroadcastAddress ? "any PC" : DottedAddress(to);
    switch (result.step) {
    case ssOpen:
        return "Open socket: " + WinSockErrorText(result.code);
    case ssBroadcast:
        return "set socket to broadcast: " + WinSockErrorText(result.code);
    case ssSend:
        return "send to " + name + ": " + WinSockErrorText(result.code);
    case ssIncomplete:
        return "send to " + name + " incomplete";
    case ssSent:
    case ssConnect:
        break;
    }
    return {};
}

tUdpReceiver::~tUdpReceiver() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool tUdpReceiver::Open(int protocol, int& code) {
    if (fd_ >= 0) {
        code = 10022;
        return false;
    }
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, protocol);
    if (fd_ < 0) {
        code = LastCode();
        return false;
    }
    return true;
}

bool tUdpReceiver::Bind(std::uint16_t portNetOrder, int& code) {
    const sockaddr_in local = Endpoint(INADDR_ANY, portNetOrder);
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        code = LastCode();
        return false;
    }
    return true;
}

bool tUdpReceiver::MakeNonBlocking(int& code) {
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags < 0 || ::fcntl(fd_, F_SETFL, flags | O_NONBLOCK) != 0) {
        code = LastCode();
        return false;
    }
    return true;
}

int tUdpReceiver::WaitReadable(int microseconds, int& code) {
    if (fd_ < 0 || fd_ >= FD_SETSIZE) {
        code = 10038;
        return -1;
    }
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(fd_, &readable);
    timeval wait{};
    wait.tv_sec = microseconds / 1000000;
    wait.tv_usec = microseconds % 1000000;
    const int n = ::select(fd_ + 1, &readable, nullptr, nullptr, &wait);
    if (n < 0) {
        if (errno == EINTR)
            return 0;
        code = LastCode();
        return -1;
    }
    return n > 0 && FD_ISSET(fd_, &readable) ? 1 : 0;
}

int tUdpReceiver::WaitReadableOrWoken(const tWakeSignal& wake, int& code) {
    if (fd_ < 0) {
        code = 10038;
        return -1;
    }
    pollfd fds[2] = {{fd_, POLLIN, 0}, {wake.Fd(), POLLIN, 0}};
    const int n = ::poll(fds, wake.Ok() ? 2 : 1, wake.WaitLimit());
    if (n < 0) {
        if (errno == EINTR)
            return wrNothing;
        code = LastCode();
        return -1;
    }
    int result = wrNothing;
    // An error pending on the socket is for the receive to report.
    if (fds[0].revents & (POLLIN | POLLERR))
        result |= wrReadable;
    if (wake.Ok() && (fds[1].revents & POLLIN))
        result |= wrWoken;
    return result;
}

long tUdpReceiver::Receive(std::uint8_t* buffer, std::size_t size, int& code) {
    // MSG_TRUNC reports the datagram's real length, so that a longer one is
    // not taken for an 88-byte datagram.
    const ssize_t n = ::recv(fd_, buffer, size, MSG_TRUNC);
    if (n < 0) {
        if (errno == EWOULDBLOCK || errno == EAGAIN || errno == EINTR)
            return 0;
        code = LastCode();
        return -1;
    }
    // An empty datagram is no datagram of the game either.
    return static_cast<long>(n);
}

bool tUdpReceiver::Shutdown(int& code) {
    // A socket that was never connected has nothing to shut down; Linux
    // reports that as ENOTCONN, which is no failure here.
    if (::shutdown(fd_, SHUT_RDWR) != 0 && errno != ENOTCONN) {
        code = LastCode();
        return false;
    }
    return true;
}

bool tUdpReceiver::Close(int& code) {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        code = LastCode();
        return false;
    }
    return true;
}

std::uint16_t tUdpReceiver::BoundPort() const {
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (fd_ < 0 || ::getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length) != 0)
        return 0;
    return local.sin_port;
}

tWakeSignal::tWakeSignal() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

tWakeSignal::~tWakeSignal() {
    if (fd_ >= 0)
        ::close(fd_);
}

void tWakeSignal::Signal() {
    if (fd_ < 0)
        return;
    const std::uint64_t one = 1;
    // A full counter (never in practice) already wakes the waiter.
    [[maybe_unused]] const ssize_t n = ::write(fd_, &one, sizeof one);
}

void tWakeSignal::Clear() {
    if (fd_ < 0)
        return;
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = ::read(fd_, &count, sizeof count);
}

void tWakeSignal::Wait() const {
    if (fd_ < 0) {
        ::poll(nullptr, 0, WaitLimit());
        return;
    }
    pollfd fd = {fd_, POLLIN, 0};
    ::poll(&fd, 1, -1);
}
