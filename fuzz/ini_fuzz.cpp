// Fuzz target: the settings file text operations; what is written reads back, nothing else moves.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/ini_text.h"
#include "core/text_codec.h"
#include "fuzz_check.h"

namespace {

// Section and key names are the program's own words: no brackets, no
// equals sign, no control character, no blank at either end, no comment
// mark.
bool IsName(const std::string& s) {
    if (s.empty() || s.front() == ' ' || s.back() == ' ')
        return false;
    for (char c : s)
        if (static_cast<unsigned char>(c) < 0x20 || c == '[' || c == ']' || c == '=' || c == ';')
            return false;
    return true;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string section = in.ConsumeRandomLengthString(24);
    const std::string key = in.ConsumeRandomLengthString(24);
    const std::string other = in.ConsumeRandomLengthString(24);
    const std::string value = in.ConsumeRandomLengthString(kMaxIniValue + 8);
    const std::string text = in.ConsumeRemainingBytesAsString();

    // Every byte of the file survives the way through UTF-8 and back.
    FUZZ_CHECK(Utf8ToCp1252(Cp1252ToUtf8(text)) == text);
    (void)IniTextToInt(value, -1);

    if (!IsName(section) || !IsName(key))
        return 0;
    const std::string written = IniSetValue(text, section, key, value);
    const std::optional<std::string> read = IniReadValue(written, section, key);
    FUZZ_CHECK(read.has_value());
    std::string expected = value.substr(0, kMaxIniValue);
    bool plain = value.size() <= kMaxIniValue;
    for (char& c : expected)
        if (c == '\r' || c == '\n')
            plain = false;
    if (plain)
        FUZZ_CHECK(*read == expected);
    FUZZ_CHECK(read->find('\n') == std::string::npos && read->find('\r') == std::string::npos);
    // Setting the same value again is no change at all.
    FUZZ_CHECK(IniSetValue(written, section, key, value) == written);

    if (IsName(other)) {
        // Another key of the same section and the same key in another
        // section read as before.
        if (!SameName(other, key))
            FUZZ_CHECK(IniReadValue(written, section, other) == IniReadValue(text, section, other));
        if (!SameName(other, section))
            FUZZ_CHECK(IniReadValue(written, other, key) == IniReadValue(text, other, key));
    }

    const std::string erased = IniEraseSection(written, section);
    FUZZ_CHECK(!IniReadValue(erased, section, key).has_value());
    if (IsName(other) && !SameName(other, section))
        FUZZ_CHECK(IniReadValue(erased, other, key) == IniReadValue(written, other, key));
    return 0;
}
