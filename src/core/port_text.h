// The port dialog's reading of its entry field: the integer conversion and the range rule.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The runtime's integer conversion of a whole text: leading blanks, an
// optional sign, then decimal digits, or hexadecimal digits after "$" or
// "0x". Anything else, trailing blanks included, or a value outside the
// 32-bit signed range fails.
std::optional<std::int32_t> ParseRuntimeInteger(std::string_view text);

enum tPortTextResult : std::uint8_t {
    ptRemove,  // empty field: the entry is to be removed (port 0)
    ptPort,    // a port 1..65535
    ptInvalid, // "ungültige Portnummer" / "invalid port number"
};

struct tPortText {
    tPortTextResult result = ptInvalid;
    std::uint16_t port = 0;
};

tPortText ReadPortText(std::string_view text);
