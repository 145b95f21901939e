// Port entry conversion.
#include "core/port_text.h"

namespace {

int DigitValue(char c, bool hex) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (hex && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<std::int32_t> ParseRuntimeInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < text.size() && text[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == text.size())
        return std::nullopt;
    // One past the largest magnitude, so that -2147483648 still fits.
    constexpr std::int64_t kLimit = 2147483648LL;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i], hex);
        if (digit < 0)
            return std::nullopt;
        value = value * (hex ? 16 : 10) + digit;
        if (value > kLimit)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value >= kLimit)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

tPortText ReadPortText(std::string_view text) {
    if (text.empty())
        return {ptRemove, 0};
    const std::optional<std::int32_t> value = ParseRuntimeInteger(text);
    if (!value || *value < 1 || *value > 65535)
        return {ptInvalid, 0};
    return {ptPort, static_cast<std::uint16_t>(*value)};
}
