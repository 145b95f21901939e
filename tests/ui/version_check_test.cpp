// The version check against a loopback web site: the message for each page and what the browser
// gets.
#include "info/version_check.h"

#include "info/author_form.h"

#include "loopback_http_server.h"
#include "platform/language.h"
#include "platform/settings_file.h"
#include "platform/shell_open.h"

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class VersionCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ::setenv("no_proxy", "127.0.0.1", 1);
        InitSettingsLocation("/opt/games/game");
        SetSettingsFileName(dir_.filePath(QStringLiteral("vessrin.ini")).toStdString());
        SetLanguage(0x0407);
        SetShellOpenHook([this](const QString& address) {
            opened_ << address;
            return true;
        });
        SetMessageBoxHook([this](const QString& text, const QString& caption, int flags) {
            texts_ << text;
            captions_ << caption;
            flags_.push_back(flags);
            cursorDuringBox_ = QApplication::overrideCursor() != nullptr;
            return answer_;
        });
        form_.setWindowTitle(QStringLiteral("Vessrin Programmautor"));
    }
    void TearDown() override {
        SetShellOpenHook({});
        SetMessageBoxHook({});
    }
    // Runs the click against a site that answers with response.
    void ClickWith(const std::string& response) {
        tOneShotServer server(response);
        site_ = QString::fromStdString(server.Root());
        WriteProfileString("Internet", "Site", server.Root());
        InternetValClick(&form_);
    }

    QTemporaryDir dir_;
    QWidget form_;
    int answer_ = kIdNo;
    QStringList opened_, texts_, captions_;
    std::vector<int> flags_;
    bool cursorDuringBox_ = true;
    QString site_;
};

std::string PageWith(const std::string& target, const std::string& date) {
    return HttpOk("<table><tr><td><a href=\"" + target + "\">GAME.EXE</a></td><td>" + date +
                  "</td></tr><tr><td>x</td></tr></table>");
}

TEST_F(VersionCheckTest, EveryOutcomeSaysSoAndOpensTheRightAddress) {
    const QString upToDate = QStringLiteral("Dieses Programm ist auf dem neuesten Stand.");
    const QString newer = QStringLiteral(
        "Es gibt eine neue Version dieses Programmes! Möchten Sie diese jetzt laden?");
    const QString failed = QStringLiteral("Konnte die Version dieses Programmes nicht prüfen!");
    struct tCase {
        const char* What;
        std::string Response;
        int Answer;
        QString Text;
        int Flags;
        QString Opened; // "" = the site address
    } cases[] = {
        {"same date", PageWith("files/game.exe", "16. Mai 2011"), kIdYes, upToDate, kMbOk, ""},
        {"newer, Yes", PageWith("http://dl.example.org/game.exe", "3. Juni 2011"), kIdYes, newer,
         kMbYesNo, "http://dl.example.org/game.exe"},
        {"newer, No", PageWith("http://dl.example.org/game.exe", "3. Juni 2011"), kIdNo, newer,
         kMbYesNo, ""},
        {"newer, local file link", PageWith("file:///usr/bin/xterm", "3. Juni 2011"), kIdYes, newer,
         kMbYesNo, ""},
        {"missing page", "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n", kIdYes, failed,
         kMbOk, ""},
        {"page without the row", HttpOk("<html>nothing here</html>"), kIdYes, failed, kMbOk, ""},
    };
    for (const tCase& c : cases) {
        opened_.clear();
        texts_.clear();
        captions_.clear();
        flags_.clear();
        answer_ = c.Answer;
        ClickWith(c.Response);
        ASSERT_EQ(texts_.size(), 1) << c.What;
        EXPECT_EQ(texts_[0], c.Text) << c.What;
        EXPECT_EQ(captions_[0], QStringLiteral("Vessrin Programmautor")) << c.What;
        EXPECT_EQ(flags_[0], c.Flags) << c.What;
        EXPECT_FALSE(cursorDuringBox_) << c.What;
        ASSERT_EQ(opened_.size(), 1) << c.What;
        EXPECT_EQ(opened_[0], c.Opened.isEmpty() ? site_ : c.Opened) << c.What;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << c.What;
    }
}

TEST_F(VersionCheckTest, ALinkWithoutSlashIsDownloadedFromTheSite) {
    answer_ = kIdYes;
    ClickWith(PageWith("game.exe", "16. Mai 2012"));
    ASSERT_EQ(opened_.size(), 1);
    EXPECT_EQ(opened_[0], site_ + "game.exe");
}

TEST_F(VersionCheckTest, UnreachableSiteGivesTheEnglishCouldNotCheck) {
    SetLanguage(0x0409);
    WriteProfileString("Internet", "Site", "http://127.0.0.1:1");
    InternetValClick(&form_);
    ASSERT_EQ(texts_.size(), 1);
    EXPECT_EQ(texts_[0], QStringLiteral("Could not check the release of this program!"));
    ASSERT_EQ(opened_.size(), 1);
    EXPECT_EQ(opened_[0], QStringLiteral("http://127.0.0.1:1/"));
}

TEST_F(VersionCheckTest, SiteAddressDefaultsToTheExampleSite) {
    EXPECT_EQ(SiteAddress(), QStringLiteral("http://www.example.org/"));
    WriteProfileString("Internet", "Site", "");
    EXPECT_EQ(SiteAddress(), QStringLiteral("http://www.example.org/"));
}

TEST_F(VersionCheckTest, ProgramWindowShowsTheConfiguredSiteWithinItsWidth) {
    WriteProfileString("Internet", "Site", "http://127.0.0.1:8080/games");
    TAuthorForm form;
    form.show();
    const QLabel* link = form.findChild<QLabel*>(QStringLiteral("InternetVal"));
    EXPECT_EQ(link->text(), QStringLiteral("http://127.0.0.1:8080/games/"));

    WriteProfileString("Internet", "Site", "http://downloads." + std::string(80, 'x') + ".org/");
    form.hide();
    form.show();
    EXPECT_TRUE(link->text().startsWith(QStringLiteral("http://downloads.")));
    EXPECT_LT(link->geometry().right(), form.width());
}

} // namespace
