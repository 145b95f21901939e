// The page download against a tiny HTTP server on loopback: agent, decoding, errors, size cap,
// time-out.
#include "platform/http_get.h"

#include "../loopback_http_server.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// The loopback server is reached directly even when the environment names a proxy.
class GetHtmlTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("no_proxy", "127.0.0.1", 1); }
};

TEST_F(GetHtmlTest, FetchesThePageAsWindows1252WithItsAgent) {
    tOneShotServer server(HttpOk("<td>16. M\xE4rz 2011</td>"));
    const auto page = GetHtml(server.Address());
    ASSERT_TRUE(page.has_value());
    EXPECT_EQ(*page, "<td>16. M\xC3\xA4rz 2011</td>");
    EXPECT_NE(server.Request().find("GET /downl1de.htm "), std::string::npos);
    EXPECT_NE(server.Request().find("User-Agent: GetHtml\r\n"), std::string::npos);
}

TEST_F(GetHtmlTest, FailuresGiveNoPage) {
    {
        tOneShotServer server("HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found");
        EXPECT_FALSE(GetHtml(server.Address()).has_value()) << "404";
    }
    {
        tOneShotServer server("garbage that is no HTTP at all\r\n\r\n");
        EXPECT_FALSE(GetHtml(server.Address()).has_value()) << "no HTTP";
    }
    EXPECT_FALSE(GetHtml("file:///etc/passwd").has_value());
    EXPECT_FALSE(GetHtml("").has_value());
    EXPECT_FALSE(GetHtml("http://127.0.0.1:1/downl1de.htm").has_value()) << "refused";
}

TEST_F(GetHtmlTest, KeepsOnlyTheFirstPartOfAHugePage) {
    std::string body(3u << 20, 'x');
    body[0] = '<';
    tOneShotServer server(HttpOk(body));
    tHttpLimits limits;
    limits.MaxBytes = 100000;
    const auto page = GetHtml(server.Address(), limits);
    ASSERT_TRUE(page.has_value());
    EXPECT_EQ(page->size(), 100000u);
    EXPECT_EQ(page->front(), '<');
}

TEST_F(GetHtmlTest, AServerThatNeverAnswersEndsInAFailure) {
    tOneShotServer server("");
    tHttpLimits limits;
    limits.TotalTimeoutMs = 300;
    EXPECT_FALSE(GetHtml(server.Address(), limits).has_value());
}

} // namespace
