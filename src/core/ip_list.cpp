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
