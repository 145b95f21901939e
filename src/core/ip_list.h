// A small list of IPv4 addresses (32-bit, network byte order).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using tAddress = std::uint32_t;

constexpr tAddress kBroadcastAddress = 0xFFFFFFFFu;

class tIpList {
public:
    void Add(tAddress a) { items_.push_back(a); }
    void Remove(tAddress a);
    int IndexOf(tAddress a) const;
    tAddress Items(int i) const { return items_[static_cast<std::size_t>(i)]; }
    void Clear() { items_.clear(); }
    int Count() const { return static_cast<int>(items_.size()); }
    bool Contains(tAddress a) const { return IndexOf(a) >= 0; }

private:
    std::vector<tAddress> items_;
};

// Dotted notation, first octet first (the first octet is the lowest byte of
// the network-order value as held in memory on a little-endian machine).
std::string DottedAddress(tAddress a);
// The address from four octets in reading order.
tAddress AddressFromOctets(int a, int b, int c, int d);

// The own address to name in a datagram for a destination: the entry whose
// exclusive-or distance to it is smallest, both read with the first octet as
// the least significant byte; the earliest entry wins a tie. An empty list
// gives 0, which every receiver ignores as a sender.
tAddress OwnAddressFor(const tIpList& own, tAddress destination);
