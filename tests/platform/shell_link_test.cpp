// Shortcut files and the folders they go to: quoting, validity, replacement, failures, XDG lookup.
#include "platform/language.h"
#include "platform/shell_folders.h"
#include "platform/shell_link.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/stat.h>

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A temporary home with its own XDG folders.
class ShellLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        Set("HOME", home_.path().toStdString());
        Unset("XDG_DATA_HOME");
        Unset("XDG_CONFIG_HOME");
        Unset("DBUS_SESSION_BUS_ADDRESS");
        SetLanguage(0x0407);
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value.second)
                ::setenv(name.c_str(), value.first.c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }
    void Remember(const std::string& name) {
        if (saved_.count(name) == 0) {
            const char* v = std::getenv(name.c_str());
            saved_[name] = {v != nullptr ? v : "", v != nullptr};
        }
    }
    void Set(const std::string& name, const std::string& value) {
        Remember(name);
        ::setenv(name.c_str(), value.c_str(), 1);
    }
    void Unset(const std::string& name) {
        Remember(name);
        ::unsetenv(name.c_str());
    }
    std::string Home() const { return home_.path().toStdString(); }

    QTemporaryDir home_;
    std::map<std::string, std::pair<std::string, bool>> saved_;
};

TEST(ExecArgument, QuotesWhatTheDesktopEntryRulesReserve) {
    struct tCase {
        const char* Argument;
        const char* Written; // as it stands in the file
    } cases[] = {
        {"/usr/games/vessrin", "/usr/games/vessrin"},
        {"/home/a b/vessrin", "\"/home/a b/vessrin\""},
        {"/opt/100%/vessrin", "/opt/100%%/vessrin"},
        {"/opt/it's/vessrin", "\"/opt/it's/vessrin\""},
        {"/opt/a\"b/vessrin", "\"/opt/a\\\\\"b/vessrin\""},
        {"/opt/a\\b/vessrin", "\"/opt/a\\\\\\\\b/vessrin\""},
        {"/opt/$HOME/vessrin", "\"/opt/\\\\$HOME/vessrin\""},
        {"/opt/50% (x)/vessrin", "\"/opt/50%% (x)/vessrin\""},
        {"/opt/Spi\xC3\xA9le/vessrin", "/opt/Spi\xC3\xA9le/vessrin"},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(ExecArgument(c.Argument), c.Written) << c.Argument;
}

TEST_F(ShellLinkTest, WrittenEntriesAreValidDesktopFilesThatStartTheProgram) {
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    const char* const targets[] = {
        "/usr/games/vessrin",
        "/home/a b/100% \"fun\"/vessrin",
        "/opt/back\\slash/$x/vessrin",
        "/opt/M\xC3\xA4rz/vessrin",
        "/opt/a;b&c|d<e>f*g?h#i~j`k/vessrin",
    };
    // The tooltip describes the game in the session's language; one that
    // repeated the name would not be a clean entry.
    struct tLanguage {
        std::uint32_t Id;
        const char* Name;
        const char* Comment;
    } languages[] = {
        {0x0407, "Vessrin", "Sechseckige Steine so legen, dass Reihen gleicher Streifen punkten"},
        {0x0409, "Orvanel", "Lay hexagon tiles so that lines of equal stripes score"},
    };
    for (const tLanguage& language : languages) {
        SetLanguage(language.Id);
        for (const char* target : targets) {
            const std::string link = Home() + "/" + LinkTitle() + ".desktop";
            ASSERT_EQ(CreateShellLink(target, LinkTitle(), "/home/a b/work\\dir", link,
                                      Home() + "/icons/vessrin.svg"),
                      "")
                << target;
            struct stat st {};
            ASSERT_EQ(::stat(link.c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, 0755u) << target;
            const std::string text = Slurp(link);
            EXPECT_NE(text.find(std::string("\nName=") + language.Name + "\n"), std::string::npos);
            EXPECT_NE(text.find(std::string("\nComment=") + language.Comment + "\n"),
                      std::string::npos);
            EXPECT_NE(text.find("\nPath=/home/a b/work\\\\dir\n"), std::string::npos);
            EXPECT_NE(text.find("\nCategories=Game;BoardGame;\n"), std::string::npos);
            EXPECT_EQ(text.find("Version="), std::string::npos);
            if (validator.isEmpty())
                continue;
            QProcess run;
            run.setProcessChannelMode(QProcess::MergedChannels);
            run.start(validator, {QString::fromStdString(link)});
            ASSERT_TRUE(run.waitForFinished(20000));
            EXPECT_EQ(run.exitCode(), 0) << target;
            EXPECT_EQ(run.readAll().trimmed().toStdString(), "") << target;
        }
    }
}

// In the applications folder itself the shortcut bears the installed menu
// entry's name and so replaces it in the menu; elsewhere it is named after
// the title of the session's language.
TEST_F(ShellLinkTest, TheShortcutInTheApplicationsFolderTakesTheInstalledEntrysPlace) {
    Set("XDG_DATA_HOME", Home() + "/data");
    ASSERT_TRUE(QDir().mkpath(home_.filePath("data/applications/Spiele")));
    ASSERT_TRUE(QDir().mkpath(home_.filePath("Desktop")));
    ASSERT_TRUE(QFile::link(home_.filePath("data/applications"), home_.filePath("menu")));
    struct tCase {
        std::uint32_t Language;
        const char* Folder; // below the home folder
        const char* Name;
    } cases[] = {
        {0x0407, "/data/applications", "vessrin.desktop"},
        {0x0409, "/data/applications", "vessrin.desktop"},
        {0x0407, "/data/applications/", "vessrin.desktop"},
        {0x0407, "/data/applications/Spiele/..", "vessrin.desktop"},
        {0x0409, "/menu", "vessrin.desktop"},
        {0x0407, "/data/applications/Spiele", "Vessrin.desktop"},
        {0x0409, "/data/applications/Spiele", "Orvanel.desktop"},
        {0x0407, "/Desktop", "Vessrin.desktop"},
        {0x0409, "/Desktop", "Orvanel.desktop"},
        {0x0409, "/data/gone", "Orvanel.desktop"},
    };
    for (const tCase& c : cases) {
        SetLanguage(c.Language);
        EXPECT_EQ(LinkFileNameIn(Home() + c.Folder), c.Name) << c.Folder << " " << c.Language;
    }
}

TEST_F(ShellLinkTest, AnExistingShortcutIsReplacedWhole) {
    const std::string link = Home() + "/Orvanel.desktop";
    {
        std::ofstream old(link);
        old << std::string(10000, 'x');
    }
    ASSERT_EQ(CreateShellLink("/usr/games/vessrin", "Orvanel", "/tmp", link), "");
    const std::string text = Slurp(link);
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_EQ(text.find("xxxx"), std::string::npos);
    EXPECT_EQ(QDir(home_.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(ShellLinkTest, FailuresReturnTheSystemTextAndLeaveNothingBehind) {
    const std::string missing = Home() + "/no/such/folder/Vessrin.desktop";
    EXPECT_NE(CreateShellLink("/usr/games/vessrin", "Vessrin", "/tmp", missing)
                  .find(std::strerror(ENOENT)),
              std::string::npos);

    const std::string folder = Home() + "/Vessrin.desktop";
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(folder)));
    EXPECT_NE(CreateShellLink("/usr/games/vessrin", "Vessrin", "/tmp", folder), "");
    EXPECT_TRUE(QFileInfo(QString::fromStdString(folder)).isDir());

    const std::string link = Home() + "/Other.desktop";
    EXPECT_NE(CreateShellLink("/usr/games/ves\nsrin", "Vessrin", "/tmp", link), "");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(link)));
    EXPECT_EQ(QDir(home_.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

TEST_F(ShellLinkTest, TheIconGoesIntoTheUsersIconTheme) {
    Set("XDG_DATA_HOME", Home() + "/data");
    const std::string path = InstallLinkIcon("<svg/>");
    EXPECT_EQ(path, Home() + "/data/icons/hicolor/scalable/apps/vessrin.svg");
    EXPECT_EQ(Slurp(path), "<svg/>");
    EXPECT_EQ(InstallLinkIcon(""), "");
}

TEST(UserDirs, DesktopEntryOfTheFile) {
    struct tCase {
        const char* Text;
        const char* Desktop; // nullptr: none
    } cases[] = {
        {"XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", "/h/Desktop"},
        {"# "
         "comment\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n",
         "/h/Schreibtisch"},
        {"XDG_DESKTOP_DIR=\"/data/desk top/\"\n", "/data/desk top"},
        {"XDG_DESKTOP_DIR=\"$HOME/a \\\"q\\\" \\$b\"\n", "/h/a \"q\" $b"},
        {"XDG_DESKTOP_DIR=\"$HOME/\"\n", "/h"},
        {"XDG_DESKTOP_DIR=\"$HOMEX/d\"\n", nullptr},
        {"XDG_DESKTOP_DIR=\"relative/d\"\n", nullptr},
        {"XDG_DESKTOP_DIR=\"$HOME/unclosed\n", nullptr},
        {"XDG_DESKTOP_DIR=\"$HOME/a\"\nXDG_DESKTOP_DIR=\"$HOME/b\"\n", "/h/b"},
    };
    for (const tCase& c : cases) {
        const auto dir = DesktopDirFromUserDirs(c.Text, "/h");
        if (c.Desktop == nullptr) {
            EXPECT_FALSE(dir.has_value()) << c.Text;
        } else {
            EXPECT_EQ(dir.value_or("<none>"), c.Desktop) << c.Text;
        }
    }
}

TEST_F(ShellLinkTest, DesktopFolderIsMissingUnlessItExists) {
    EXPECT_FALSE(DesktopFolder().has_value());
    ASSERT_TRUE(QDir().mkpath(home_.filePath("Desktop")));
    EXPECT_EQ(DesktopFolder().value_or(""), Home() + "/Desktop");

    Set("XDG_CONFIG_HOME", Home() + "/cfg");
    ASSERT_TRUE(QDir().mkpath(home_.filePath("cfg")));
    {
        std::ofstream dirs(Home() + "/cfg/user-dirs.dirs");
        dirs << "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n";
    }
    EXPECT_FALSE(DesktopFolder().has_value()) << "named folder does not exist";
    ASSERT_TRUE(QDir().mkpath(home_.filePath("Schreibtisch")));
    EXPECT_EQ(DesktopFolder().value_or(""), Home() + "/Schreibtisch");
    {
        std::ofstream dirs(Home() + "/cfg/user-dirs.dirs");
        dirs << "XDG_DESKTOP_DIR=\"$HOME/\"\n";
    }
    EXPECT_FALSE(DesktopFolder().has_value()) << "the home folder switches the desktop off";
}

TEST_F(ShellLinkTest, ProgramsFolderIsMadeWhereTheMenuLooks) {
    EXPECT_EQ(ProgramsFolder().value_or(""), Home() + "/.local/share/applications");
    EXPECT_TRUE(QFileInfo(home_.filePath(".local/share/applications")).isDir());
    Set("XDG_DATA_HOME", Home() + "/data");
    EXPECT_EQ(ProgramsFolder().value_or(""), Home() + "/data/applications");
    Set("XDG_DATA_HOME", "relative/ignored");
    EXPECT_EQ(ProgramsFolder().value_or(""), Home() + "/.local/share/applications");
    // A file where the folder should be cannot become the folder.
    Set("XDG_DATA_HOME", Home() + "/file");
    { std::ofstream(Home() + "/file") << "x"; }
    EXPECT_FALSE(ProgramsFolder().has_value());
}

} // namespace
