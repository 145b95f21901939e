// Tests of handing files and addresses to the desktop.
#include "platform/shell_open.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

TEST(DesktopUrlFor, AddressesKeepTheirSchemeAndText) {
    const QUrl mail =
        DesktopUrlFor(QStringLiteral("mailto:a@example.org ? subject=Quorvik%20Vessrin"));
    ASSERT_TRUE(mail.isValid());
    EXPECT_EQ(mail.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(mail.toString(QUrl::FullyDecoded),
              QStringLiteral("mailto:a@example.org ? subject=Quorvik Vessrin"));
    const QUrl web = DesktopUrlFor(QStringLiteral("http://www.example.org/downl1de.htm"));
    EXPECT_EQ(web.scheme(), QStringLiteral("http"));
    EXPECT_EQ(web.host(), QStringLiteral("www.example.org"));
}

TEST(DesktopUrlFor, PathsBecomeLocalFilesOnlyWhenTheyExist) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("a:b.txt"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    // A colon after a slash belongs to the path, not to a scheme.
    const QUrl url = DesktopUrlFor(file);
    ASSERT_TRUE(url.isLocalFile());
    EXPECT_EQ(url.toLocalFile(), QFileInfo(file).absoluteFilePath());
    EXPECT_TRUE(DesktopUrlFor(dir.path()).isLocalFile());
    EXPECT_FALSE(DesktopUrlFor(dir.filePath(QStringLiteral("missing.txt"))).isValid());
    // A drive letter is no scheme: on this system such a path does not exist.
    EXPECT_FALSE(DesktopUrlFor(QStringLiteral("C:\\Programme\\spiel.exe")).isValid());
    EXPECT_FALSE(DesktopUrlFor(QString()).isValid());
    EXPECT_FALSE(DesktopUrlFor(QStringLiteral("   ")).isValid());
}

TEST(ShellOpen, HookReceivesTheTextAndDecidesTheResult) {
    QStringList opened;
    SetShellOpenHook([&opened](const QString& text) {
        opened << text;
        return text.startsWith(QStringLiteral("http"));
    });
    EXPECT_TRUE(ShellOpen(QStringLiteral("http://www.example.org/")));
    EXPECT_FALSE(ShellOpen(QStringLiteral("mailto:x ? y")));
    SetShellOpenHook(nullptr);
    EXPECT_EQ(opened, (QStringList{QStringLiteral("http://www.example.org/"),
                                   QStringLiteral("mailto:x ? y")}));
    // Without the hook, nothing that cannot be opened reaches the desktop.
    EXPECT_FALSE(ShellOpen(QString()));
    EXPECT_FALSE(ShellOpen(QStringLiteral("/no/such/file/anywhere.txt")));
}

} // namespace
