// The download page scan: which pages give a release date, which date counts as newer, the link.
#include "core/version_page.h"

#include <gtest/gtest.h>

namespace {

const char* const kSite = "http://www.example.org/vessrin/";

// One table row of the download page: the link, then the date cell.
std::string Row(const std::string& linkTag, const std::string& text, const std::string& date) {
    return "<tr><td>" + linkTag + text + "</a></td><td>" + date + "</td></tr>";
}

std::string Page(const std::string& rows) {
    return "<html><body><table>\r\n<tr><td>other.exe</td><td>1. Januar 2000</td></tr>\r\n" + rows +
           "\r\n<tr><td>&nbsp;</td><td>end</td></tr></table></body></html>";
}

tReleaseCheck Scan(const std::string& page) {
    return ScanVersionPage(page, "game.exe", kSite, 2011, 5, 16);
}

TEST(VersionPage, PagesAndTheirOutcome) {
    const std::string link = "<a href=\"files/game.exe\">";
    struct tCase {
        const char* What;
        std::string Page;
        bool Usable;
        bool Newer;
    };
    const tCase cases[] = {
        {"same date, upper case name", Page(Row(link, "GAME.EXE", "16. Mai 2011")), true, false},
        {"same date, mixed case name", Page(Row(link, " Game.exe ", "16. Mai 2011")), true, false},
        {"other day", Page(Row(link, "game.exe", "3. Juni 2011")), true, true},
        {"later year", Page(Row(link, "game.exe", "16. Mai 2012")), true, true},
        {"earlier year counts too", Page(Row(link, "game.exe", "16. Mai 2010")), true, true},
        {"other month", Page(Row(link, "game.exe", "16. M&auml;rz 2011")), true, true},
        {"English month is no difference", Page(Row(link, "game.exe", "16. May 2011")), true,
         false},
        {"no dot", Page(Row(link, "game.exe", "16 Mai 2011")), false, false},
        {"no blank after the month", Page(Row(link, "game.exe", "16.Mai2011")), false, false},
        {"bold tags inside the link", Page(Row(link, "<b>GAME.EXE</b>", "16. Mai 2011")), false,
         false},
        {"upper-case link tag", Page(Row("<A HREF=\"game.exe\">", "GAME.EXE", "16. Mai 2011")),
         false, false},
        {"another program's row only", Page(Row(link, "other.exe", "16. Mai 2011")), false, false},
        {"date cell in the last row of the page",
         "<table><tr><td>" + link + "game.exe</a></td><td>16. Mai 2011</td></tr></table>", true,
         false},
        {"date split by tags inside the cell", Page(Row(link, "game.exe", "<b>3.</b> Mai 2011")),
         true, true},
        {"empty page", "", false, false},
        {"no tags at all", "game.exe 16. Mai 2011", false, false},
        {"unbalanced tags", "<<<a href=\"x\">game.exe</a>>> <td <td> 16. Mai 2011 <", false, false},
        {"link never closed", "<a href=\"game.exe\">game.exe<td>16. Mai 2011<td>", false, false},
        {"number too long for an int",
         Page(Row(link, "game.exe", "99999999999999999999. Mai 2011")), true, true},
    };
    for (const tCase& c : cases) {
        const tReleaseCheck r = Scan(c.Page);
        EXPECT_EQ(r.Usable, c.Usable) << c.What;
        if (c.Usable) {
            EXPECT_EQ(r.Newer, c.Newer) << c.What;
        }
    }
}

TEST(VersionPage, LinkWithoutSlashLiesAtTheSiteAddress) {
    struct tCase {
        const char* Target;
        const char* Link;
    } cases[] = {
        {"game.exe", "http://www.example.org/vessrin/game.exe"},
        {"files/game.exe", "files/game.exe"},
        {"http://mirror.example.net/game.exe", "http://mirror.example.net/game.exe"},
    };
    for (const tCase& c : cases) {
        const std::string page = Page(Row("<a href=\"" + std::string(c.Target) + "\" class=\"dl\">",
                                          "GAME.EXE", "3. Juni 2011"));
        EXPECT_EQ(Scan(page).Link, c.Link) << c.Target;
    }
    EXPECT_EQ(Scan("<p>no links</p>").Link, "");
}

TEST(VersionPage, OnlyTheSevenEntitiesAreDecoded) {
    EXPECT_EQ(DecodePageText("&Auml;&Ouml;&Uuml;&auml;&ouml;&uuml;&szlig;"),
              "\xC3\x84\xC3\x96\xC3\x9C\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F");
    EXPECT_EQ(DecodePageText("a&amp;b&AUML;c\r\nd"), "a&amp;b&AUML;c  d");
    // A name with an umlaut matches in any case, and an undecoded entity does
    // not turn into the character it names.
    const std::string umlautRow =
        Row("<a href=\"x/sp&ouml;l.exe\">", "SP&Ouml;L.EXE", "16. Mai 2011");
    EXPECT_TRUE(ScanVersionPage(Page(umlautRow), "Sp\xC3\xB6l.exe", kSite, 2011, 5, 16).Usable);
    const std::string ampRow = Row("<a href=\"x/a.exe\">", "A&amp;B.EXE", "16. Mai 2011");
    EXPECT_FALSE(ScanVersionPage(Page(ampRow), "A&B.exe", kSite, 2011, 5, 16).Usable);
}

TEST(VersionPage, AHugePageOfTagsEndsWithoutAResult) {
    std::string page;
    for (int i = 0; i < 200000; ++i)
        page += "<td><a href=\"g\">x</a>";
    page += std::string(1 << 20, '>');
    EXPECT_FALSE(Scan(page).Usable);
}

TEST(VersionPage, OnlyWebAddressesCountAsDownloads) {
    struct tCase {
        const char* Address;
        bool Web;
    } cases[] = {
        {"http://www.example.org/game.exe", true},
        {"HTTPS://www.example.org/", true},
        {"file:///usr/bin/xterm", false},
        {"files/game.exe", false},
        {"http://", false},
        {"http:///etc/passwd", false},
        {"http://host/\x01x", false},
        {"", false},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(IsWebAddress(c.Address), c.Web) << c.Address;
}

} // namespace

// The page is searched in upper case: the Latin letters of Windows-1252 with
// their accents too, from the first (à) to the last (þ, and ÿ to Ÿ), but not ÷.
TEST(VersionPage, UpperCaseCoversTheAccentedLetters) {
    EXPECT_EQ(UpperText("a\xC3\xA0\xC3\xA4\xC3\xBE\xC3\xB7\xC3\xBFz\xC3"),
              "A\xC3\x80\xC3\x84\xC3\x9E\xC3\xB7\xC5\xB8Z\xC3");
}
