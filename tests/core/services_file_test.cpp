// Services file rewrite, lookups, locations and result codes, on a real services file.
#include "core/services_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace {

// A few entries in the style of a real file, for machines without either copy.
const char kFallbackServices[] = "# Network services\n"
                                 "\n"
                                 "ssh\t\t22/tcp\t\t\t\t# SSH Remote Login Protocol\n"
                                 "domain\t\t53/tcp\t\t\t\t# Domain Name Server\n"
                                 "domain\t\t53/udp\n"
                                 "http\t\t80/tcp\t\twww\t\t# WorldWideWeb HTTP\n"
                                 "x11\t\t6000/tcp\tx11-0\t\t# X Window System\n";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The copy beside this test, else the machine's own file, else the fallback.
const std::string& RealServices() {
    static const std::string text = [] {
        std::string file = __FILE__;
        file = file.substr(0, file.find_last_of('/') + 1) + "data/services";
        std::string content = ReadFile(file);
        if (content.find("domain") == std::string::npos)
            content = ReadFile("/etc/services");
        if (content.find("domain") == std::string::npos)
            content = kFallbackServices;
        return content;
    }();
    return text;
}

std::string Rewrite(const std::string& content, std::uint16_t port) {
    return RewriteServicesText(content, kServiceName, port, kServiceProtocol);
}

TEST(ServicesRewrite, RemovingFromAFileWithoutTheEntryKeepsEveryByte) {
    EXPECT_EQ(Rewrite(RealServices(), 0), RealServices());
}

TEST(ServicesRewrite, NewEntryIsAppendedAsTheLastLine) {
    EXPECT_EQ(Rewrite(RealServices(), 5000), RealServices() + "Vessrin\t 5000/udp\n");
}

TEST(ServicesRewrite, ChangingThePortLeavesExactlyOneEntry) {
    const std::string once = Rewrite(RealServices(), 5000);
    EXPECT_EQ(Rewrite(once, 6000), RealServices() + "Vessrin\t 6000/udp\n");
    EXPECT_EQ(Rewrite(once, 0), RealServices());
}

TEST(ServicesRewrite, LineRules) {
    struct Case {
        const char* line;
        bool kept;
    };
    const Case cases[] = {
        {"vessrin\t4000/udp\t# our old entry\n", false},
        {"VESSRIN 4000/UDP\n", false},
        {"  Vessrin   4000 / udp   \n", false},
        {"vessrin\t4000/tcp\t# same name, other protocol\n", true},
        {"myvessrin2\t4001/udp\n", false},
        {"other\t4002/udp\tvessrin\n", false},
        {"other\t4002/udp\tvessrin-alias more\n", false},
        {"other\t4002/udp\tunrelated\n", true},
        {"# vessrin 4000/udp in a comment\n", true},
        {"\t# indented comment\n", true},
        {"\n", true},
        {"   \t \n", true},
        {"vessrin 4000 udp without slash\n", true},
        {"vessrin\n", true},
        {"vessrin/udp\n", true},
        {"vess rin 4000/udp\n", true},
        {"vessrin\xE4 4000/udp\n", false},
        {"\xFF\xFE binary \x01\x02/\x7F\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const std::string content = std::string("a\t1/tcp\n") + c.line + "b\t2/udp\n";
        const std::string expected = c.kept ? content : std::string("a\t1/tcp\n") + "b\t2/udp\n";
        EXPECT_EQ(Rewrite(content, 0), expected);
    }
}

TEST(ServicesRewrite, EntryFillsThePortToFiveDigits) {
    struct Case {
        std::uint16_t port;
        const char* line;
    };
    const Case cases[] = {
        {1, "Vessrin\t    1/udp"},
        {80, "Vessrin\t   80/udp"},
        {5000, "Vessrin\t 5000/udp"},
        {65535, "Vessrin\t65535/udp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.port);
        EXPECT_EQ(ServiceEntryLine(kServiceName, c.port, kServiceProtocol), c.line);
        EXPECT_EQ(Rewrite("", c.port), std::string(c.line) + "\n");
    }
    EXPECT_EQ(ServiceEntryLine(kServiceName, 5000, kServiceProtocol, "game"),
              "Vessrin\t 5000/udp\tgame");
}

TEST(ServicesRewrite, EntryTakesTheLineEndOfTheFile) {
    EXPECT_EQ(Rewrite("a\t1/tcp\r\nb\t2/tcp\r\n", 5000),
              "a\t1/tcp\r\nb\t2/tcp\r\nVessrin\t 5000/udp\r\n");
    EXPECT_EQ(Rewrite("a\t1/tcp\nb\t2/tcp\n", 5000), "a\t1/tcp\nb\t2/tcp\nVessrin\t 5000/udp\n");
}

TEST(ServicesRewrite, KeptLinesKeepTheirOwnLineEnds) {
    const std::string mixed = "a\t1/tcp\r\nb\t2/tcp\nvessrin 4000/udp\r\nc\t3/tcp\r\n";
    EXPECT_EQ(Rewrite(mixed, 0), "a\t1/tcp\r\nb\t2/tcp\nc\t3/tcp\r\n");
}

TEST(ServicesRewrite, CrLfFileWithTheEntryRemovedStaysCrLf) {
    std::string crlf;
    std::istringstream lines(RealServices());
    for (std::string line; std::getline(lines, line);)
        crlf += line + "\r\n";
    const std::string withEntry = crlf + "vessrin\t4000/udp\t# old\r\n";
    EXPECT_EQ(Rewrite(withEntry, 0), crlf);
    EXPECT_EQ(Rewrite(withEntry, 80), crlf + "Vessrin\t   80/udp\r\n");
}

TEST(ServicesRewrite, LastLineWithoutLineEndIsNotJoinedToTheEntry) {
    EXPECT_EQ(Rewrite("a\t1/tcp\nb\t2/tcp", 5000), "a\t1/tcp\nb\t2/tcp\nVessrin\t 5000/udp\n");
    EXPECT_EQ(Rewrite("a\t1/tcp\r\nb\t2/tcp", 5000),
              "a\t1/tcp\r\nb\t2/tcp\r\nVessrin\t 5000/udp\r\n");
    EXPECT_EQ(Rewrite("a\t1/tcp\nb\t2/tcp", 0), "a\t1/tcp\nb\t2/tcp");
    EXPECT_EQ(Rewrite("a\t1/tcp\nvessrin 4000/udp", 0), "a\t1/tcp\n");
}

TEST(ServicesRewrite, EmptyFile) {
    EXPECT_EQ(Rewrite("", 0), "");
    EXPECT_EQ(Rewrite("", 5000), "Vessrin\t 5000/udp\n");
}

TEST(ServicesRewrite, VeryLongLinesAreKeptWhole) {
    const std::string longComment = "# " + std::string(200000, 'x') + "\n";
    const std::string longAliases = "z\t9/udp " + std::string(100000, 'q') + "\n";
    const std::string longEntry = "vessrin\t4000/udp " + std::string(100000, 'q') + "\n";
    const std::string content = longComment + longAliases + longEntry;
    EXPECT_EQ(Rewrite(content, 0), longComment + longAliases);
}

TEST(ServicesRewrite, ZeroBytesAndHighBytesAreCopied) {
    static const char kLine[] = "a\t1/tcp # \0\x80\xFF\n";
    const std::string binary = std::string(kLine, sizeof kLine - 1) + "\xC4\xD6\xDC\n";
    ASSERT_EQ(binary.size(), 18u);
    EXPECT_EQ(Rewrite(binary, 0), binary);
    EXPECT_EQ(Rewrite(binary, 5000), binary + "Vessrin\t 5000/udp\n");
}

TEST(ServicesRewrite, EmptyServiceNameRemovesNothing) {
    EXPECT_EQ(RewriteServicesText(RealServices(), "", 0, "udp"), RealServices());
}

TEST(ServicesLookup, ByNameAndAlias) {
    const auto domain = FindServiceByName(RealServices(), "domain", "udp");
    ASSERT_TRUE(domain.has_value());
    EXPECT_EQ(domain->port, 53u);
    const auto www = FindServiceByName(RealServices(), "www", "tcp");
    ASSERT_TRUE(www.has_value());
    EXPECT_EQ(www->name, "http");
    EXPECT_EQ(www->port, 80u);
    EXPECT_FALSE(FindServiceByName(RealServices(), "ssh", "udp").has_value());
    EXPECT_FALSE(FindServiceByName(RealServices(), kServiceName, kServiceProtocol).has_value());
}

TEST(ServicesLookup, TheWrittenEntryIsFoundByNameAndPort) {
    const std::string text = Rewrite(RealServices(), 5000);
    const auto byName = FindServiceByName(text, kServiceName, kServiceProtocol);
    ASSERT_TRUE(byName.has_value());
    EXPECT_EQ(byName->port, 5000u);
    EXPECT_EQ(ClassifyPortOwner(FindServiceByPort(text, 5000, "udp"), 5000), poOurs);
}

TEST(ServicesLookup, NamesCompareExactly) {
    const std::string text = "vessrin\t4000/udp\nVessrin\t4001/UDP\n";
    EXPECT_FALSE(FindServiceByName(text, kServiceName, kServiceProtocol).has_value());
    // The owner of the port is another service, spelled differently.
    EXPECT_EQ(ClassifyPortOwner(FindServiceByPort(text, 4000, "udp"), 0), poOtherOwner);
}

TEST(ServicesLookup, FirstWellFormedEntryWins) {
    const std::string text = "Vessrin\t70000/udp\n"
                             "Vessrin\tabc/udp\n"
                             "Vessrin\t4000/\n"
                             "Vessrin\t4001/udp # first\n"
                             "Vessrin\t4002/udp\n";
    const auto entry = FindServiceByName(text, kServiceName, kServiceProtocol);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->port, 4001u);
}

TEST(ServicesLookup, PortOwnerForThePortDialog) {
    EXPECT_EQ(ClassifyPortOwner(FindServiceByPort(RealServices(), 53, "udp"), 0), poOtherOwner);
    // Used only for TCP by another service: free for the game.
    EXPECT_EQ(ClassifyPortOwner(FindServiceByPort(RealServices(), 22, "udp"), 0), poFree);
    EXPECT_EQ(ClassifyPortOwner(FindServiceByPort(RealServices(), 6000, "udp"), 0), poFree);
}

// The per-user file (first) has the final say over every name it has an
// entry of; the system file answers the rest.
TEST(ServicesLookup, PerUserFileOverridesTheSystemFile) {
    const std::string system = "domain\t53/udp\nVessrin\t 4000/udp\n";
    const std::optional<unsigned> none;
    struct Case {
        const char* what;
        const char* user;
        const char* system;
        std::optional<unsigned> port; // looked up by name
        unsigned probe;               // looked up by port
        const char* owner;            // nullptr: nobody
    };
    const Case cases[] = {
        {"no entry anywhere", "", "domain\t53/udp\n", none, 4000, nullptr},
        {"system entry only", "", system.c_str(), 4000u, 4000, "Vessrin"},
        {"per-user entry only", "Vessrin\t 5000/udp\n", "", 5000u, 5000, "Vessrin"},
        {"both: the stale system port is hidden", "Vessrin\t 5000/udp\n", system.c_str(), 5000u,
         4000, nullptr},
        {"no port written by the dialog", "Vessrin\t    0/udp\t# no port: network play off\n",
         system.c_str(), 0u, 4000, nullptr},
        {"no port with a longer zero", "Vessrin 00000/udp\n", system.c_str(), 0u, 4000, nullptr},
        {"no port as a word", "Vessrin\tnone/udp\n", system.c_str(), 0u, 4000, nullptr},
        {"negative port", "Vessrin -1/udp # off\n", system.c_str(), 0u, 4000, nullptr},
        {"port out of range", "Vessrin 70000/udp\n", system.c_str(), 0u, 4000, nullptr},
        {"service as an alias without port", "x y/udp Vessrin\n", system.c_str(), 0u, 4000,
         nullptr},
        {"odd line before a good one", "Vessrin x/udp\nVessrin 5000/udp\n", system.c_str(), 5000u,
         5000, "Vessrin"},
        {"commented out: the system decides", "# Vessrin 0/udp\n", system.c_str(), 4000u, 4000,
         "Vessrin"},
        {"other case is another name", "vessrin 0/udp\n", system.c_str(), 4000u, 0, "vessrin"},
        {"tcp entry says nothing about udp", "Vessrin 0/tcp\n", system.c_str(), 4000u, 4000,
         "Vessrin"},
        {"no slash is no entry", "Vessrin 0\n", system.c_str(), 4000u, 4000, "Vessrin"},
        {"another service moved by the user", "domain 5353/udp\n", system.c_str(), 4000u, 53,
         nullptr},
        {"the user's entry owns its port", "local\t53/udp\n", system.c_str(), 4000u, 53, "local"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<std::string_view> files = {c.user, c.system};
        const auto byName = LookupServiceByName(files, kServiceName, kServiceProtocol);
        EXPECT_EQ(byName ? std::optional<unsigned>(byName->port) : none, c.port);
        const auto byPort = LookupServiceByPort(files, c.probe, kServiceProtocol);
        EXPECT_EQ(byPort ? byPort->name : std::string("nobody"), c.owner ? c.owner : "nobody");
    }
}

TEST(ServicesRewrite, NoPortIsWrittenDownWhereAsked) {
    const std::string text = "a\t1/tcp\r\nVessrin\t 4000/udp\r\n";
    const std::string off = "a\t1/tcp\r\nVessrin\t    0/udp\t# no port: network play off\r\n";
    EXPECT_EQ(RewriteServicesText(text, kServiceName, 0, kServiceProtocol, "", true), off);
    // Setting a port again replaces the marker; the system file never gets one.
    EXPECT_EQ(RewriteServicesText(off, kServiceName, 5000, kServiceProtocol, "", true),
              "a\t1/tcp\r\nVessrin\t 5000/udp\r\n");
    EXPECT_EQ(RewriteServicesText(text, kServiceName, 0, kServiceProtocol), "a\t1/tcp\r\n");
    // A hand-edited marker is replaced like any entry of the service.
    EXPECT_EQ(
        RewriteServicesText("Vessrin\tnone/udp\n", kServiceName, 0, kServiceProtocol, "", true),
        "Vessrin\t    0/udp\t# no port: network play off\n");
    EXPECT_EQ(RewriteServicesText(text, "", 0, kServiceProtocol, "", true), text);
}

TEST(ServicesLookup, OnlyThePortInEffectIsOurs) {
    tServiceEntry stale;
    stale.name = "Vessrin";
    stale.port = 4000;
    stale.protocol = "udp";
    EXPECT_EQ(ClassifyPortOwner(stale, 4000), poOurs);
    EXPECT_EQ(ClassifyPortOwner(stale, 5000), poFree);
    EXPECT_EQ(ClassifyPortOwner(stale, 0), poFree);
}

TEST(ServiceLocations, SixPathsInOrder) {
    const auto paths = ServiceFileLocations("/home/u/.config/vessrin/", "/etc");
    const std::array<std::string, 6> expected = {
        "/home/u/.config/vessrin/services",
        "/etc/services",
        "/home/u/.config/vessrin/drivers/etc/services",
        "/etc/drivers/etc/services",
        "/home/u/.config/vessrin/system32/drivers/etc/services",
        "/etc/system32/drivers/etc/services",
    };
    EXPECT_EQ(paths, expected);
}

TEST(ServiceLocations, UnusableDirectoriesAreSkipped) {
    const std::string tooLong = "/" + std::string(260, 'd');
    const std::string longest = "/" + std::string(259, 'd');
    EXPECT_FALSE(IsUsableDirectory(""));
    EXPECT_FALSE(IsUsableDirectory(tooLong));
    EXPECT_TRUE(IsUsableDirectory(longest));
    const auto paths = ServiceFileLocations("", tooLong);
    for (const std::string& p : paths)
        EXPECT_TRUE(p.empty()) << p;
    EXPECT_EQ(ServiceFileLocations("/", "")[0], "/services");
}

TEST(ServiceLocations, CodesCombineByPairs) {
    using C = std::optional<std::uint8_t>;
    const C no = std::nullopt;
    struct Case {
        const char* what;
        std::array<C, 6> codes;
        std::uint8_t expected;
    };
    const Case cases[] = {
        {"nothing usable", {no, no, no, no, no, no}, scInvalidDirectory},
        {"no file anywhere", {C{1}, C{1}, C{1}, C{1}, C{1}, C{1}}, scCannotOpen},
        {"user file rewritten, system file not writable",
         {C{0}, C{2}, C{1}, C{1}, C{1}, C{1}},
         scOk},
        {"system file rewritten", {C{1}, C{0}, C{1}, C{1}, C{1}, C{1}}, scOk},
        {"a later pair succeeds", {C{2}, C{3}, C{1}, C{1}, C{0}, C{1}}, scOk},
        {"failure reports the last pair", {C{2}, C{3}, C{1}, C{1}, C{1}, C{4}}, 4},
        {"pair with both failing takes its second", {C{1}, C{1}, C{1}, C{1}, C{4}, C{2}}, 2},
        {"only the first of each pair tried", {C{0}, no, C{1}, no, C{1}, no}, scOk},
        {"only the first tried, failing", {C{1}, no, C{1}, no, C{3}, no}, 3},
        {"only the second tried", {no, C{1}, no, C{1}, no, C{2}}, 2},
        {"only the second tried, one success", {no, C{0}, no, C{1}, no, C{1}}, scOk},
        // Later pairs that found no file do not hide why a found one failed.
        {"found files unwritable, no file further on", {C{2}, C{2}, C{1}, C{1}, C{1}, C{1}}, 2},
        {"user file unwritable, no system file", {C{4}, C{1}, C{1}, C{1}, C{1}, C{1}}, 1},
        {"found file unwritable, last pair unusable", {C{1}, C{2}, C{1}, C{1}, no, no}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CombineLocationCodes(c.codes), c.expected);
    }
}

} // namespace

TEST(ServicesFile, EntrySeparatedByAnyBlankIsReplacedNotLeftToShadowTheNewPort) {
    const std::string out = RewriteServicesText("echo 7/tcp\nVessrin 4711/udp\vother 4712/tcp\n",
                                                "Vessrin", 5000, "udp");
    const auto found = FindServiceByName(out, "Vessrin", "udp");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->port, 5000u);
}

// Found by the fuzzer: the rewrite trims control characters, the lookups do
// not, so this line was kept and still named the service by its alias.
TEST(ServicesFile, LineTheLookupsReadAsTheServiceIsReplaced) {
    const std::string out = RewriteServicesText("\x01\t22/udp\tVessrin\n", "Vessrin", 5000, "udp");
    EXPECT_EQ(out, "Vessrin\t 5000/udp\n");
    EXPECT_EQ(RewriteServicesText("\x01\t22/udp\tVessrin\n", "Vessrin", 0, "udp"), "");
}
