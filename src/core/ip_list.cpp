// Address list.
#include "core/ip_list.h"

#include <algorithm>
#include <cstring>

void tIpList::Remove(tAddress a) {
    items_.erase(std::remove(items_.begin(), items_.end(), a), items_.end());
}

int tIpList::IndexOf(tAddress a) const {
    const auto it = std::find(items_.begin(), items_.end(), a);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

std::string DottedAddress(tAddress a) {
    unsigned char octets[4];
    std::memcpy(octets, &a, 4);
    return std::to_string(octets[0]) + "." + std::to_string(octets[1]) + "." +
           std::to_string(octets[2]) + "." + std::to_string(octets[3]);
}

tAddress AddressFromOctets(int a, int b, int c, int d) {
    const unsigned char octets[4] = {static_cast<unsigned char>(a), static_cast<unsigned char>(b),
                                     static_cast<unsigned char>(c), static_cast<unsigned char>(d)};
    tAddress value;
    std::memcpy(&value, octets, 4);
    return value;
}

// The little-endian reading of the four network-order bytes.
static std::uint32_t DistanceValue(tAddress a) {
    unsigned char o[4];
    std::memcpy(o, &a, 4);
    return static_cast<std::uint32_t>(o[0]) | static_cast<std::uint32_t>(o[1]) << 8 |
           static_cast<std::uint32_t>(o[2]) << 16 | static_cast<std::uint32_t>(o[3]) << 24;
}

tAddress OwnAddressFor(const tIpList& own, tAddress destination) {
    if (own.Count() == 0)
        return 0;
    const std::uint32_t target = DistanceValue(destination);
    tAddress result = own.Items(0);
    std::uint32_t best = 0xFFFFFFFFu;
    for (int i = 0; i < own.Count(); ++i) {
        const std::uint32_t distance = DistanceValue(own.Items(i)) ^ target;
        if (distance < best) {
            best = distance;
            result = own.Items(i);
        }
    }
    return result;
}
