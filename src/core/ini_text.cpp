// The INI format of the settings file as pure text operations.
#include "core/ini_text.h"

#include <string_view>

#include "core/text_codec.h"

namespace {

struct tLine {
    std::size_t Begin; // first byte
    std::size_t End;   // end of content, before "\r\n" or "\n"
    std::size_t Next;  // first byte of the next line
    bool HasBreak;
};

// Walks the lines of text; f returns false to stop.
template <typename F> void ForEachLine(std::string_view text, F f) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t nl = text.find('\n', pos);
        tLine line;
        line.Begin = pos;
        if (nl == std::string_view::npos) {
            line.End = text.size();
            line.Next = text.size();
            line.HasBreak = false;
        } else {
            line.End = (nl > pos && text[nl - 1] == '\r') ? nl - 1 : nl;
            line.Next = nl + 1;
            line.HasBreak = true;
        }
        if (!f(line))
            return;
        pos = line.Next;
    }
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

// The name of a "[name]" line, nullopt for any other line.
std::optional<std::string_view> SectionOf(std::string_view line) {
    const std::string_view t = Trim(line);
    if (t.empty() || t.front() != '[')
        return std::nullopt;
    const std::size_t close = t.rfind(']');
    if (close == 0 || close == std::string_view::npos)
        return std::nullopt;
    return Trim(t.substr(1, close - 1));
}

// The key of a "key=value" line, nullopt for a line without '='.
std::optional<std::string_view> KeyOf(std::string_view line, std::string_view* value = nullptr) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    if (value != nullptr)
        *value = line.substr(eq + 1);
    return Trim(line.substr(0, eq));
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

std::string_view LineBreakOf(std::string_view text) {
    const std::size_t nl = text.find('\n');
    if (nl != std::string_view::npos && nl > 0 && text[nl - 1] == '\r')
        return "\r\n";
    return "\n";
}

std::string FormatValue(const std::string& value) {
    std::string v = value;
    for (char& c : v)
        if (c == '\r' || c == '\n')
            c = ' ';
    const bool loosesBlanks = !v.empty() && (IsBlank(v.front()) || IsBlank(v.back()));
    const bool looksQuoted = v.size() >= 2 && IsQuote(v.front()) && v.front() == v.back();
    if (loosesBlanks || looksQuoted)
        return '"' + v + '"';
    return v;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    const char l = Lower(c);
    if (l >= 'a' && l <= 'f')
        return l - 'a' + 10;
    return -1;
}

} // namespace

std::optional<std::string> IniReadValue(const std::string& text, const std::string& section,
                                        const std::string& key) {
    const std::string_view all(text);
    const std::string_view wantedKey = Trim(key);
    const std::string_view wantedSection = Trim(section);
    std::optional<std::string> result;
    bool inSection = false;
    ForEachLine(all, [&](const tLine& l) {
        const std::string_view line = all.substr(l.Begin, l.End - l.Begin);
        if (const auto name = SectionOf(line)) {
            if (inSection)
                return false; // only the first matching section counts
            inSection = EqualNoCase(*name, wantedSection);
            return true;
        }
        if (!inSection)
            return true;
        std::string_view raw;
        const auto k = KeyOf(line, &raw);
        if (!k || !EqualNoCase(*k, wantedKey))
            return true;
        std::string_view v = Trim(raw);
        if (v.size() >= 2 && IsQuote(v.front()) && v.front() == v.back())
            v = v.substr(1, v.size() - 2);
        result = std::string(v.substr(0, kMaxIniValue));
        return false;
    });
    return result;
}

std::string IniSetValue(const std::string& text, const std::string& section, const std::string& key,
                        const std::string& value) {
    const std::string_view all(text);
    const std::string_view wantedKey = Trim(key);
    const std::string_view wantedSection = Trim(section);
    const std::string entryValue = FormatValue(value);

    bool inSection = false;
    bool sectionFound = false;
    bool replaced = false;
    tLine lastFilled{}; // last non-blank line of the section, its header at least
    std::string out;
    ForEachLine(all, [&](const tLine& l) {
        const std::string_view line = all.substr(l.Begin, l.End - l.Begin);
        if (const auto name = SectionOf(line)) {
            if (inSection)
                return false;
            if (!sectionFound && EqualNoCase(*name, wantedSection)) {
                inSection = true;
                sectionFound = true;
                lastFilled = l;
            }
            return true;
        }
        if (!inSection)
            return true;
        if (!Trim(line).empty())
            lastFilled = l;
        const auto k = KeyOf(line);
        if (k && EqualNoCase(*k, wantedKey)) {
            out.reserve(text.size() + entryValue.size() + k->size() + 1);
            out.append(all.substr(0, l.Begin));
            out.append(*k);
            out += '=';
            out.append(entryValue);
            out.append(all.substr(l.End));
            replaced = true;
            return false;
        }
        return true;
    });
    if (replaced)
        return out;

    const std::string_view br = LineBreakOf(all);
    std::string entry(wantedKey);
    entry += '=';
    entry += entryValue;
    entry += br;
    if (sectionFound) {
        out.reserve(text.size() + entry.size() + br.size());
        out.append(all.substr(0, lastFilled.Next));
        if (!lastFilled.HasBreak)
            out.append(br);
        out.append(entry);
        out.append(all.substr(lastFilled.Next));
        return out;
    }
    out = text;
    if (!out.empty()) {
        if (out.back() != '\n')
            out.append(br);
        out.append(br); // a blank line between sections, as the system writes them
    }
    out += '[';
    out.append(wantedSection);
    out += ']';
    out.append(br);
    out.append(entry);
    return out;
}

std::string IniEraseSection(const std::string& text, const std::string& section) {
    const std::string_view all(text);
    const std::string_view wantedSection = Trim(section);
    std::string out;
    out.reserve(text.size());
    bool skipping = false;
    ForEachLine(all, [&](const tLine& l) {
        const std::string_view line = all.substr(l.Begin, l.End - l.Begin);
        if (const auto name = SectionOf(line))
            skipping = EqualNoCase(*name, wantedSection);
        if (!skipping)
            out.append(all.substr(l.Begin, l.Next - l.Begin));
        return true;
    });
    return out;
}

std::int64_t IniTextToInt(const std::string& text, std::int64_t def) {
    std::string s = text;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
        s = '$' + s.substr(2);
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const bool hex = i < s.size() && s[i] == '$';
    if (hex)
        ++i;
    if (i >= s.size())
        return def;
    const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    const int base = hex ? 16 : 10;
    std::uint64_t v = 0;
    for (; i < s.size(); ++i) {
        const int d = hex ? HexDigit(s[i]) : ((s[i] >= '0' && s[i] <= '9') ? s[i] - '0' : -1);
        if (d < 0)
            return def;
        v = v * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(d);
        if (v > limit)
            return def;
    }
    if (negative) {
        if (v > 0x80000000ull)
            return def;
        return -static_cast<std::int64_t>(v);
    }
    return static_cast<std::int64_t>(v);
}

namespace {

bool KeptPlain(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/';
}

} // namespace

std::string IniEncodeText(const std::string& utf8) {
    const std::string_view marker(kIniUtf8Marker);
    const bool marked = std::string_view(utf8).substr(0, marker.size()) == marker;
    if (!marked && Cp1252ToUtf8(Utf8ToCp1252(utf8)) == utf8)
        return utf8;
    static const char kHex[] = "0123456789ABCDEF";
    std::string out(marker);
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (KeptPlain(c)) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

std::string IniDecodeText(const std::string& stored) {
    const std::string_view marker(kIniUtf8Marker);
    if (std::string_view(stored).substr(0, marker.size()) != marker)
        return stored;
    std::string out;
    for (std::size_t i = marker.size(); i < stored.size(); ++i) {
        if (stored[i] != '%') {
            out += stored[i];
            continue;
        }
        const int high = i + 2 < stored.size() ? HexDigit(stored[i + 1]) : -1;
        const int low = i + 2 < stored.size() ? HexDigit(stored[i + 2]) : -1;
        if (high < 0 || low < 0)
            return stored;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}
