// The download page scan: entity decoding, the tag state machine and the date comparison.
#include "core/version_page.h"

#include "core/release_date.h"

#include <climits>
#include <cstddef>

namespace {

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string Trimmed(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlankOrControl(text[begin]))
        ++begin;
    while (end > begin && IsBlankOrControl(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (;;) {
        const std::size_t hit = text.find(from, pos);
        if (hit == std::string::npos)
            break;
        out.append(text, pos, hit - pos);
        out += to;
        pos = hit + from.size();
    }
    out.append(text, pos, std::string::npos);
    text.swap(out);
}

// Reads the date cell; false when it lacks the "." or the blank.
bool CompareDate(const std::string& cell, int year, int month, int day, bool& newer) {
    const std::size_t dot = cell.find('.');
    if (dot == std::string::npos)
        return false;
    if (LeadingNumber(cell.substr(0, dot)) != day)
        newer = true;
    const std::string rest = Trimmed(cell.substr(dot + 1));
    const std::size_t blank = rest.find(' ');
    if (blank == std::string::npos)
        return false;
    const std::string monthText = rest.substr(0, blank);
    for (int m = 1; m <= 12; ++m)
        if (m != month && monthText == GermanMonthName(m))
            newer = true;
    if (LeadingNumber(rest.substr(blank + 1)) != year)
        newer = true;
    return true;
}

} // namespace

std::string DecodePageText(std::string page) {
    static const char* const kEntities[][2] = {
        {"&Auml;", "\xC3\x84"},
        {"&Ouml;", "\xC3\x96"},
        {"&Uuml;", "\xC3\x9C"},
        {"&auml;", "\xC3\xA4"},
        {"&ouml;", "\xC3\xB6"},
        {"&uuml;", "\xC3\xBC"},
        {"&szlig;", "\xC3\x9F"},
        {"\r", " "},
        {"\n", " "},
    };
    for (const auto& entity : kEntities)
        ReplaceAll(page, entity[0], entity[1]);
    return page;
}

std::string UpperText(const std::string& text) {
    std::string out = text;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(out[i]);
        if (c >= 'a' && c <= 'z') {
            out[i] = static_cast<char>(c - 'a' + 'A');
            continue;
        }
        if (i + 1 >= out.size())
            break;
        const unsigned char next = static_cast<unsigned char>(out[i + 1]);
        if (c == 0xC3 && next >= 0xA0 && next <= 0xBE && next != 0xB7) {
            out[i + 1] = static_cast<char>(next - 0x20); // à..þ to À..Þ, not ÷
            ++i;
        } else if (c == 0xC3 && next == 0xBF) {
            out[i] = '\xC5'; // ÿ to Ÿ
            out[i + 1] = '\xB8';
            ++i;
        } else if (c == 0xC5 && (next == 0x93 || next == 0xA1 || next == 0xBE)) {
            out[i + 1] = static_cast<char>(next - 1); // œ, š, ž
            ++i;
        }
    }
    return out;
}

int LeadingNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX)
            return INT_MAX;
    }
    return static_cast<int>(value);
}

bool IsWebAddress(const std::string& address) {
    const std::string upper = UpperText(address.substr(0, 8));
    std::size_t rest;
    if (StartsWith(upper, "HTTP://"))
        rest = 7;
    else if (StartsWith(upper, "HTTPS://"))
        rest = 8;
    else
        return false;
    if (rest >= address.size() || address[rest] == '/')
        return false;
    for (char c : address)
        if (IsBlankOrControl(c) && c != ' ')
            return false;
    return true;
}

tReleaseCheck ScanVersionPage(std::string page, const std::string& fileName,
                              const std::string& siteAddress, int year, int month, int day) {
    tReleaseCheck result;
    const std::string wanted = UpperText(fileName);
    page = DecodePageText(std::move(page));

    // Positions instead of cutting the page after every ">": a page of many
    // tags would otherwise be copied once per tag.
    enum { kOutside = 0, kInLink = 1, kAfterLink = 3, kInDateCell = 4 } state = kOutside;
    std::string collected;
    std::string cell;
    bool haveCell = false;
    std::size_t pos = 0;
    std::size_t nextLt = page.find('<');
    while (!haveCell) {
        const std::size_t gt = page.find('>', pos);
        if (gt == std::string::npos)
            break;
        if (nextLt != std::string::npos && nextLt < pos)
            nextLt = page.find('<', pos);
        if (nextLt != std::string::npos && nextLt < gt) {
            collected.append(page, pos, nextLt - pos);
            const std::string tag = page.substr(nextLt, gt - nextLt + 1);
            switch (state) {
            case kOutside:
                if (StartsWith(tag, "<a")) {
                    collected.clear();
                    const std::size_t href = tag.find("href=\"");
                    if (href != std::string::npos) {
                        std::string link = tag.substr(href + 6);
                        const std::size_t quote = link.find('"');
                        if (quote != std::string::npos)
                            link.erase(quote);
                        if (link.find('/') == std::string::npos)
                            link = siteAddress + link;
                        result.Link = link;
                        state = kInLink;
                    }
                }
                break;
            case kInLink:
                state = StartsWith(tag, "</a>") && UpperText(Trimmed(collected)) == wanted
                            ? kAfterLink
                            : kOutside;
                break;
            case kAfterLink:
                if (StartsWith(tag, "<td")) {
                    state = kInDateCell;
                    collected.clear();
                }
                break;
            case kInDateCell:
                // The cell also ends at its own closing tag or the end of its
                // row, so a program in the last row of a table is read too.
                if (StartsWith(tag, "<td") || StartsWith(tag, "</td") || StartsWith(tag, "</tr") ||
                    StartsWith(tag, "</table")) {
                    cell = collected;
                    haveCell = true;
                }
                break;
            }
        }
        pos = gt + 1;
    }
    result.Usable = haveCell && CompareDate(cell, year, month, day, result.Newer);
    return result;
}
