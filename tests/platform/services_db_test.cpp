// Tests of the services files on disk: lookups in both directories, the six locations, atomic
// rewrites.
#include "platform/services_db.h"

#include "as_user.h"
#include "core/services_file.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::string_literals;

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Spit(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

bool Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

const std::string kSystemText = "# Network services\n"
                                "domain\t\t53/tcp\n"
                                "domain\t\t53/udp\n"
                                "http\t\t80/tcp\t\twww\n";

class ServicesDb : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        user_ = tmp_.filePath("config/vessrin").toStdString();
        system_ = tmp_.filePath("etc").toStdString();
        ASSERT_EQ(mkdir(system_.c_str(), 0755), 0);
        SetServiceDirectoriesForTests(tServiceDirectories{user_, system_});
    }
    void TearDown() override { SetServiceDirectoriesForTests(std::nullopt); }

    std::string UserFile() const { return user_ + "/services"; }
    std::string SystemFile() const { return system_ + "/services"; }
    void WriteUser(const std::string& text) {
        ASSERT_TRUE(EnsureUserServicesFile());
        Spit(UserFile(), text);
    }

    QTemporaryDir tmp_;
    std::string user_;
    std::string system_;
};

TEST(ServiceDirectoriesTest, PerUserFolderFollowsXdgConfigHomeThenHome) {
    SetServiceDirectoriesForTests(std::nullopt);
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const char* oldHome = std::getenv("HOME");
    const std::string savedXdg = oldXdg ? oldXdg : "";
    const std::string savedHome = oldHome ? oldHome : "";

    setenv("XDG_CONFIG_HOME", "/x/conf", 1);
    setenv("HOME", "/h/user", 1);
    EXPECT_EQ(ServiceDirectories().WindowsDirectory, "/x/conf/vessrin");
    EXPECT_EQ(ServiceDirectories().SystemDirectory, "/etc");
    // A relative value is not a base directory and is ignored.
    setenv("XDG_CONFIG_HOME", "conf", 1);
    EXPECT_EQ(ServiceDirectories().WindowsDirectory, "/h/user/.config/vessrin");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(UserServicesFile(), "/h/user/.config/vessrin/services");

    oldXdg ? setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
    oldHome ? setenv("HOME", savedHome.c_str(), 1) : unsetenv("HOME");
}

TEST_F(ServicesDb, LookupsReadThePerUserFileBeforeTheSystemFile) {
    Spit(SystemFile(), kSystemText + "Vessrin\t 4000/udp\n");
    EXPECT_EQ(ServicePortByName("Vessrin", "udp"), 4000);
    EXPECT_EQ(ServiceNameByPort(53, "udp"), "domain");

    WriteUser("Vessrin\t 5000/udp\nlocal\t53/udp\n");
    EXPECT_EQ(ServicePortByName("Vessrin", "udp"), 5000);
    EXPECT_EQ(ServiceNameByPort(53, "udp"), "local");
    EXPECT_EQ(ServiceNameByPort(5000, "udp"), "Vessrin");
    // What the user file does not know, the system file answers.
    EXPECT_EQ(ServicePortByName("www", "tcp"), 80);
    // The system's entry of a service the user file has is not seen at all.
    EXPECT_FALSE(ServiceNameByPort(4000, "udp"));
    EXPECT_FALSE(ServicePortByName("Vessrin", "tcp"));
    EXPECT_FALSE(ServicePortByName("vessrin", "udp"));
    EXPECT_FALSE(ServiceNameByPort(80, "udp"));
}

TEST_F(ServicesDb, LookupsWithoutAnyFileFindNothing) {
    EXPECT_FALSE(ServicePortByName("Vessrin", "udp"));
    EXPECT_FALSE(ServiceNameByPort(53, "udp"));
    EXPECT_FALSE(Exists(user_)) << "a lookup must not create the folder";
}

TEST_F(ServicesDb, FirstPortCreatesThePerUserFileAndLeavesOthersAlone) {
    Spit(SystemFile(), kSystemText);
    ::chmod(SystemFile().c_str(), 0644);
    EXPECT_EQ(SetServicePort("Vessrin", "udp", 5000, ""), scOk);
    EXPECT_EQ(Slurp(UserFile()), "Vessrin\t 5000/udp\n");
    EXPECT_EQ(Slurp(SystemFile()), kSystemText + "Vessrin\t 5000/udp\n");
    EXPECT_EQ(ServicePortByName("Vessrin", "udp"), 5000);

    EXPECT_EQ(SetServicePort("Vessrin", "udp", 0, ""), scOk);
    EXPECT_EQ(Slurp(UserFile()), "Vessrin\t    0/udp\t# no port: network play off\n");
    EXPECT_EQ(Slurp(SystemFile()), kSystemText);
    EXPECT_EQ(ServicePortByName("Vessrin", "udp"), 0);
}

TEST_F(ServicesDb, EveryLocationWithAFileIsRewritten) {
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(system_ + "/drivers/etc")));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(system_ + "/system32/drivers/etc")));
    const std::string second = system_ + "/drivers/etc/services";
    const std::string third = system_ + "/system32/drivers/etc/services";
    Spit(second, "Vessrin\t 1/udp\r\n");
    Spit(third, "x\t1/tcp\n");
    EXPECT_EQ(SetServicePort("Vessrin", "udp", 80, ""), scOk);
    EXPECT_EQ(Slurp(second), "Vessrin\t   80/udp\r\n");
    EXPECT_EQ(Slurp(third), "x\t1/tcp\nVessrin\t   80/udp\n");
    EXPECT_FALSE(Exists(SystemFile())) << "a missing location is not created";
}

// The codes of whole runs over real directories (the pair rules themselves
// are the core's).
TEST_F(ServicesDb, ResultCodesOverTheLocations) {
    struct tCase {
        const char* what;
        bool userDir; // usable per-user folder
        bool systemDir;
        bool systemFile;
        std::uint8_t expected;
    };
    const tCase cases[] = {
        {"both directories unusable", false, false, false, scInvalidDirectory},
        {"no user folder, no system file", false, true, false, scCannotOpen},
        {"no user folder, system file", false, true, true, scOk},
        {"user folder made on demand", true, false, false, scOk},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.what);
        ::unlink(SystemFile().c_str());
        if (c.systemFile)
            Spit(SystemFile(), kSystemText);
        SetServiceDirectoriesForTests(
            tServiceDirectories{c.userDir ? user_ : "", c.systemDir ? system_ : ""});
        EXPECT_EQ(SetServicePort("Vessrin", "udp", 5000, ""), c.expected);
    }
}

// What an ordinary user gets from the dialog's writes: the system file is
// read-only for them, so the per-user file must carry every change.
TEST_F(ServicesDb, OrdinaryUserSetsMovesAndRemovesThePort) {
    const uid_t nobody = kNobody;
    const bool asRoot = RunsAsRoot();
    ASSERT_EQ(::chmod(tmp_.path().toStdString().c_str(), 0755), 0);
    const std::string config = tmp_.filePath("config").toStdString();
    const std::string marker = "Vessrin\t    0/udp\t# no port: network play off\n";
    const std::string system = kSystemText + "Vessrin\t 4000/udp\n";
    struct Case {
        const char* what;
        const char* user; // nullptr: no per-user file
        bool userWritable;
        std::uint16_t port;
        std::uint8_t code;
        int found; // port a lookup gives afterwards, -1 none
        const char* userAfter;
    };
    const Case cases[] = {
        {"no entry anywhere", nullptr, true, 5000, scOk, 5000, "Vessrin\t 5000/udp\n"},
        {"system entry cleared", nullptr, true, 0, scOk, 0, marker.c_str()},
        {"system entry moved", "", true, 5000, scOk, 5000, "Vessrin\t 5000/udp\n"},
        {"back to the system's port", "Vessrin\t 5000/udp\n", true, 4000, scOk, 4000,
         "Vessrin\t 4000/udp\n"},
        {"cleared twice", marker.c_str(), true, 0, scOk, 0, marker.c_str()},
        {"hand-edited marker", "# mine\nVessrin none/udp\n", true, 6000, scOk, 6000,
         "# mine\nVessrin\t 6000/udp\n"},
        {"per-user folder read-only", "Vessrin\t 5000/udp\n", false, 0, scCannotCreateTemporary,
         5000, "Vessrin\t 5000/udp\n"},
        {"per-user folder cannot be made", nullptr, false, 0, scCannotCreateTemporary, 4000,
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(QDir(QString::fromStdString(config)).removeRecursively());
        ASSERT_EQ(mkdir(config.c_str(), 0755), 0);
        Spit(SystemFile(), system);
        ::chmod(SystemFile().c_str(), 0644);
        if (c.user) {
            ASSERT_EQ(mkdir(user_.c_str(), 0755), 0);
            Spit(UserFile(), c.user);
            if (asRoot) {
                ASSERT_EQ(::chown(UserFile().c_str(), nobody, nobody), 0);
                ASSERT_EQ(::chown(user_.c_str(), nobody, nobody), 0);
            }
            ::chmod(user_.c_str(), c.userWritable ? 0755 : 0555);
        }
        if (asRoot) {
            ASSERT_EQ(::chown(config.c_str(), nobody, nobody), 0);
        }
        ::chmod(config.c_str(), c.userWritable ? 0755 : 0555);
        // Read-only for the user even when the tests do not run as root.
        ::chmod(system_.c_str(), 0555);

        const std::optional<tUserReply> reply = AsOrdinaryUser([&c] {
            return tUserReply{SetServicePort("Vessrin", "udp", c.port, ""),
                              ServicePortByName("Vessrin", "udp").value_or(-1)};
        });
        ASSERT_TRUE(reply);
        EXPECT_EQ((*reply)[0], c.code);
        EXPECT_EQ((*reply)[1], c.found);
        EXPECT_EQ(Exists(UserFile()), c.userAfter != nullptr);
        if (c.userAfter) {
            EXPECT_EQ(Slurp(UserFile()), c.userAfter);
        }
        EXPECT_EQ(Slurp(SystemFile()), system);
        EXPECT_FALSE(Exists(UserFile() + ".new"));
        ::chmod(config.c_str(), 0755);
        ::chmod(system_.c_str(), 0755);
        if (Exists(user_))
            ::chmod(user_.c_str(), 0755);
    }
}

// Root rewrites /etc/services, but when the per-user file that decides cannot
// be rewritten, the change has not taken effect and must not be reported so.
TEST_F(ServicesDb, SystemRewrittenButUserFileStuckIsAnError) {
    const std::string system = kSystemText + "Vessrin\t 4000/udp\n";
    Spit(SystemFile(), system);
    WriteUser("Vessrin\t 5000/udp\n");
    // Even root cannot replace a non-empty directory with a file.
    ASSERT_EQ(mkdir((UserFile() + ".new").c_str(), 0755), 0);
    Spit(UserFile() + ".new/x", "");
    const std::uint8_t code = SetServicePort("Vessrin", "udp", 6000, "");
    if (geteuid() != 0) {
        EXPECT_EQ(code, scCannotCreateTemporary);
        return;
    }
    EXPECT_EQ(code, scCannotDelete);
    EXPECT_EQ(Slurp(SystemFile()), kSystemText + "Vessrin\t 6000/udp\n");
    EXPECT_EQ(Slurp(UserFile()), "Vessrin\t 5000/udp\n");
    EXPECT_EQ(ServicePortByName("Vessrin", "udp"), 5000);
}

TEST_F(ServicesDb, RewriteKeepsForeignBytesLineEndsAndPermissions) {
    const std::string longLine(100000, 'x');
    const std::string original = "# comment \xfe\xff\r\n"s + "vessrin\t4000/udp # old\r\n" +
                                 "Vessrin\t4000/tcp\r\n" + longLine + "\r\n" + "bin\0ary\r\n"s +
                                 "last line without end";
    Spit(SystemFile(), original);
    ::chmod(SystemFile().c_str(), 0640);
    EXPECT_EQ(RewriteServicesFile(SystemFile(), "Vessrin", 65535, "udp", ""), scOk);
    EXPECT_EQ(Slurp(SystemFile()), "# comment \xfe\xff\r\n"s + "Vessrin\t4000/tcp\r\n" + longLine +
                                       "\r\n" + "bin\0ary\r\n"s + "last line without end\r\n" +
                                       "Vessrin\t65535/udp\r\n");
    EXPECT_EQ(ModeOf(SystemFile()), 0640u);
    EXPECT_FALSE(Exists(SystemFile() + ".new"));
}

TEST_F(ServicesDb, RewriteThroughALinkKeepsTheLink) {
    const std::string real = system_ + "/services.real";
    Spit(real, kSystemText);
    ASSERT_EQ(symlink(real.c_str(), SystemFile().c_str()), 0);
    EXPECT_EQ(RewriteServicesFile(SystemFile(), "Vessrin", 5000, "udp", ""), scOk);
    struct stat st {};
    ASSERT_EQ(lstat(SystemFile().c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(Slurp(real), kSystemText + "Vessrin\t 5000/udp\n");
}

TEST_F(ServicesDb, StaleTemporaryLinkIsReplacedNotFollowed) {
    const std::string victim = system_ + "/victim";
    Spit(victim, "keep");
    Spit(SystemFile(), kSystemText);
    ASSERT_EQ(symlink(victim.c_str(), (SystemFile() + ".new").c_str()), 0);
    EXPECT_EQ(RewriteServicesFile(SystemFile(), "Vessrin", 5000, "udp", ""), scOk);
    EXPECT_EQ(Slurp(victim), "keep");
    EXPECT_EQ(Slurp(SystemFile()), kSystemText + "Vessrin\t 5000/udp\n");
}

TEST_F(ServicesDb, DirectoryInTheFilesPlaceIsNotRead) {
    ASSERT_EQ(mkdir(SystemFile().c_str(), 0755), 0);
    EXPECT_EQ(RewriteServicesFile(SystemFile(), "Vessrin", 5000, "udp", ""), scCannotOpen);
    EXPECT_FALSE(Exists(SystemFile() + ".new"));
}

TEST_F(ServicesDb, TemporaryFileThatCannotBeMadeLeavesTheOriginal) {
    Spit(SystemFile(), kSystemText);
    // Even root cannot replace a non-empty directory with a file.
    ASSERT_EQ(mkdir((SystemFile() + ".new").c_str(), 0755), 0);
    Spit(SystemFile() + ".new/x", "");
    EXPECT_EQ(RewriteServicesFile(SystemFile(), "Vessrin", 5000, "udp", ""),
              scCannotCreateTemporary);
    EXPECT_EQ(Slurp(SystemFile()), kSystemText);
}

TEST_F(ServicesDb, ReadOnlyDirectoryLeavesTheOriginal) {
    ASSERT_EQ(::chmod(tmp_.path().toStdString().c_str(), 0755), 0);
    Spit(SystemFile(), kSystemText);
    // The file itself is the user's to write; only its folder is not.
    if (RunsAsRoot()) {
        ASSERT_EQ(::chown(SystemFile().c_str(), kNobody, kNobody), 0);
    }
    ASSERT_EQ(::chmod(system_.c_str(), 0555), 0);
    const std::optional<tUserReply> code = AsOrdinaryUser([this] {
        return tUserReply{RewriteServicesFile(SystemFile(), "Vessrin", 5000, "udp", ""), 0};
    });
    ::chmod(system_.c_str(), 0755);
    ASSERT_TRUE(code);
    EXPECT_EQ((*code)[0], scCannotCreateTemporary);
    EXPECT_EQ(Slurp(SystemFile()), kSystemText);
    EXPECT_FALSE(Exists(SystemFile() + ".new"));
}

TEST_F(ServicesDb, WriteErrorMidwayRemovesTheTemporaryAndKeepsTheOriginal) {
    const std::string original = kSystemText + std::string(4000, '#') + "\n";
    Spit(SystemFile(), original);
    // A file size limit makes the write of the temporary file fail part way.
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::uint8_t code = RewriteServicesFile(SystemFile(), "Vessrin", 5000, "udp", "");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(code, scCannotCreateTemporary);
    EXPECT_EQ(Slurp(SystemFile()), original);
    EXPECT_FALSE(Exists(SystemFile() + ".new"));
}

} // namespace
