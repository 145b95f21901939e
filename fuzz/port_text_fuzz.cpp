// Fuzz target: the port field's integer conversion against a plain reading of the same rule.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/port_text.h"
#include "fuzz_check.h"

namespace {

// Leading blanks, an optional sign, then decimal digits, or hexadecimal ones
// after "$" or "0x"; the whole text, within 32 signed bits.
std::optional<std::int64_t> Reference(std::string_view t) {
    std::size_t i = 0;
    while (i < t.size() && t[i] == ' ')
        ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        negative = t[i++] == '-';
    int base = 10;
    if (i < t.size() && t[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == t.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * base + digit;
        if (value > (std::int64_t{1} << 32))
            return std::nullopt;
    }
    return negative ? -value : value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::int32_t> parsed = ParseRuntimeInteger(text);
    const tPortText port = ReadPortText(text);

    if (text.empty()) {
        FUZZ_CHECK(port.result == ptRemove);
        return 0;
    }
    FUZZ_CHECK(port.result != ptRemove);
    if (port.result == ptPort) {
        FUZZ_CHECK(parsed.has_value() && *parsed == port.port && port.port >= 1);
        // The number the dialog writes back into the field reads as the same port.
        const tPortText back = ReadPortText(std::to_string(port.port));
        FUZZ_CHECK(back.result == ptPort && back.port == port.port);
    } else {
        FUZZ_CHECK(!parsed || *parsed < 1 || *parsed > 65535);
    }
    // Plain decimal texts must agree with the plain reading; hexadecimal ones
    // may wrap into the sign bit as the runtime's conversion does.
    const std::optional<std::int64_t> expected = Reference(text);
    if (parsed && text.find_first_of("$xX") == std::string_view::npos)
        FUZZ_CHECK(expected && *expected == *parsed);
    if (!parsed && expected && text.find_first_of("$xX") == std::string_view::npos)
        FUZZ_CHECK(*expected < INT32_MIN || *expected > INT32_MAX);
    return 0;
}
