// Tests of the settings file: its location, reads and writes through the file, atomic replacement.
#include "platform/settings_file.h"

#include "as_user.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <sys/time.h>
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

QStringList Entries(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

class SettingsFile : public ::testing::Test {
protected:
    QTemporaryDir dir_;
    std::string file_ = dir_.filePath("vessrin.ini").toStdString();
};

TEST(JoinPath, FollowsTheSeparatorRules) {
    struct tCase {
        const char* Dir;
        const char* Name;
        const char* Result;
    } cases[] = {
        {"/home/ann", "vessrin.ini", "/home/ann/vessrin.ini"},
        {"/home/ann/", "vessrin.ini", "/home/ann/vessrin.ini"},
        {"/home/ann", "/vessrin.ini", "/home/ann/vessrin.ini"},
        {"", "vessrin.ini", "vessrin.ini"},
        {"", "/vessrin.ini", "vessrin.ini"},
        {"/", "x", "/x"},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(JoinPath(c.Dir, c.Name), c.Result) << c.Dir << " + " << c.Name;
}

TEST(SettingsLocation, FollowsTheCurrentDirectoryNotTheExecutable) {
    QTemporaryDir work;
    const std::string before = QDir::currentPath().toStdString();
    ASSERT_EQ(::chdir(work.path().toLocal8Bit().constData()), 0);
    InitSettingsLocation("/usr/games/vessrin");
    const std::string start = StartDirectory();
    const std::string base = ExeBaseName();
    const std::string file = SettingsFileName();
    InitSettingsLocation("/opt/x/game.bin.exe");
    const std::string cutBase = ExeBaseName();
    ASSERT_EQ(::chdir(before.c_str()), 0);
    const std::string real = QDir(work.path()).canonicalPath().toStdString();
    EXPECT_EQ(start, real);
    EXPECT_EQ(base, "vessrin");
    EXPECT_EQ(file, real + "/vessrin.ini");
    EXPECT_EQ(cutBase, "game.bin");
}

TEST_F(SettingsFile, MissingFileReadsDefaultsAndIsNotCreated) {
    EXPECT_EQ(ReadProfileString("Names", "00", "none", file_), "none");
    EXPECT_EQ(ReadProfileInt("MainForm", "Top", 42, file_), 42);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(file_)));
}

TEST_F(SettingsFile, FirstWriteCreatesTheFile) {
    WriteProfileInt("MainForm", "Top", 17, file_);
    EXPECT_EQ(Slurp(file_), "[MainForm]\nTop=17\n");
    EXPECT_EQ(ReadProfileInt("mainform", "TOP", 0, file_), 17);
}

TEST_F(SettingsFile, TextIsWindows1252InTheFileAndUtf8Outside) {
    WriteProfileString("Names", "00", "J\xC3\xBCrgen \xE2\x82\xAC", file_);
    EXPECT_EQ(Slurp(file_), "[Names]\n00=J\xFCrgen \x80\n");
    EXPECT_EQ(ReadProfileString("Names", "00", "", file_), "J\xC3\xBCrgen \xE2\x82\xAC");
}

TEST_F(SettingsFile, EveryReadSeesTheFileAsItIsNow) {
    Spit(file_, "[S]\nK=1\n");
    EXPECT_EQ(ReadProfileInt("S", "K", 0, file_), 1);
    Spit(file_, "[S]\nK=2\n");
    EXPECT_EQ(ReadProfileInt("S", "K", 0, file_), 2);
}

TEST_F(SettingsFile, WriteKeepsLinesItDoesNotConcern) {
    Spit(file_, "junk \xFF\x00 line\r\n[Colors]\r\nLine1=0x0000FF\r\n[HighScore]\r\nPoints1=300"s);
    WriteProfileString("Colors", "Line1", "0x00FF00", file_);
    EXPECT_EQ(Slurp(file_),
              "junk \xFF\x00 line\r\n[Colors]\r\nLine1=0x00FF00\r\n[HighScore]\r\nPoints1=300"s);
}

TEST_F(SettingsFile, EraseSectionRemovesOnlyThatSection) {
    Spit(file_, "[Names]\n00=Ann\n01=Bob\n[Child]\nTop=3\n");
    EraseProfileSection("names", file_);
    EXPECT_EQ(Slurp(file_), "[Child]\nTop=3\n");
}

TEST_F(SettingsFile, ReplaceSectionWritesTheEntriesInOrderInOneSection) {
    Spit(file_, "[Names]\n00=Ann\n01=Bob\n02=Cy\n[Child]\nTop=3\n[names]\n05=Old\n");
    ReplaceProfileSection("Names", {{"00", "Bob"}, {"01", "Zoë"}}, file_);
    EXPECT_EQ(ReadProfileString("Names", "00", "", file_), "Bob");
    EXPECT_EQ(ReadProfileString("Names", "01", "", file_), "Zoë");
    EXPECT_EQ(ReadProfileString("Names", "02", "", file_), "");
    EXPECT_EQ(ReadProfileString("Names", "05", "", file_), "") << "duplicate section erased";
    EXPECT_EQ(ReadProfileInt("Child", "Top", 0, file_), 3);
}

TEST_F(SettingsFile, SeveralKeysLandTogetherAndKeepTheRestInPlace) {
    Spit(file_, "[HighScore]\r\nPlayer1=Ann\r\nExtra=x\r\n[Child]\r\nTop=3\r\n");
    WriteProfileStrings("HighScore", {{"Player1", "Bob"}, {"Points1", "120"}}, file_);
    EXPECT_EQ(Slurp(file_), "[HighScore]\r\nPlayer1=Bob\r\nExtra=x\r\nPoints1=120\r\n"
                            "[Child]\r\nTop=3\r\n");
}

TEST_F(SettingsFile, NastyFilesReadAsDefaultsAndKeepTheirBytesOnWrite) {
    std::mt19937 gen(7);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string random;
    for (int i = 0; i < 4096; ++i)
        random += static_cast<char>(byte(gen));
    struct tCase {
        std::string Bytes;
        std::int64_t Top;
    } cases[] = {
        {"[MainForm]\nTop=abc\nLeft=0x\nHeight=1 2\nWidth=--3\nWindowState=1e3\n", -1},
        {"[MainForm]\nTop=5\nTop=6\n[MainForm]\nTop=7\n", 5},
        {"[MainForm]\nTop=" + std::string(4 << 20, '9') + "\n", -1},
        {"[Main\0Form]\nTop=3\n[MainForm]\nTop\0=4\nTop=5\0"s, -1},
        {"[MainForm]\n\0\0\nTop=6"s, 6},
        {random, -1},
        {"no sections at all", -1},
        {"[MainForm", -1},
    };
    for (const tCase& c : cases) {
        Spit(file_, c.Bytes);
        EXPECT_EQ(ReadProfileInt("MainForm", "Top", -1, file_), c.Top);
        EXPECT_EQ(ReadProfileInt("MainForm", "Left", -1, file_), -1);
        EXPECT_EQ(ReadProfileInt("MainForm", "Height", -1, file_), -1);
        EXPECT_EQ(ReadProfileInt("MainForm", "Width", -1, file_), -1);
        EXPECT_EQ(ReadProfileString("Names", "00", "def", file_), "def");
        WriteProfileString("Fresh", "Key", "v", file_);
        EXPECT_EQ(Slurp(file_).compare(0, c.Bytes.size(), c.Bytes), 0);
        EXPECT_EQ(ReadProfileString("Fresh", "Key", "", file_), "v");
    }
}

TEST_F(SettingsFile, WriteKeepsThePermissionBits) {
    Spit(file_, "[S]\nK=1\n");
    ASSERT_EQ(::chmod(file_.c_str(), 0640), 0);
    WriteProfileInt("S", "K", 2, file_);
    struct stat st {};
    ASSERT_EQ(::stat(file_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(SettingsFile, WriteClearsTemporariesAKilledWriteLeftAndKeepsEverythingElse) {
    Spit(file_, "[S]\nK=1\n");
    const std::string stale = dir_.filePath(".vessrin.ini.a1B2c3").toStdString();
    const std::string fresh = dir_.filePath(".vessrin.ini.z9Y8x7").toStdString();
    const std::string other = dir_.filePath(".vessrin.ini.keep").toStdString();
    for (const std::string& f : {stale, fresh, other})
        Spit(f, "x");
    const timeval old[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
    ASSERT_EQ(::utimes(stale.c_str(), old), 0);
    ASSERT_EQ(::utimes(other.c_str(), old), 0);
    WriteProfileInt("S", "K", 2, file_);
    EXPECT_EQ(Slurp(file_), "[S]\nK=2\n");
    // The fresh one may belong to a write of another instance still running.
    EXPECT_EQ(Entries(dir_),
              QStringList({".vessrin.ini.keep", ".vessrin.ini.z9Y8x7", "vessrin.ini"}));
}

TEST_F(SettingsFile, WriteThroughASymbolicLinkKeepsTheLink) {
    const std::string real = dir_.filePath("real.ini").toStdString();
    Spit(real, "[S]\nK=1\n");
    ASSERT_EQ(::symlink(real.c_str(), file_.c_str()), 0);
    WriteProfileInt("S", "K", 2, file_);
    struct stat st {};
    ASSERT_EQ(::lstat(file_.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(Slurp(real), "[S]\nK=2\n");
}

// Each refused write must name the file, keep the original and leave no
// temporary file behind.
void ExpectRefusedWrite(const std::string& file, const QTemporaryDir& dir) {
    const std::string before = Slurp(file);
    const QStringList entriesBefore = Entries(dir);
    try {
        WriteProfileInt("S", "K", 2, file);
        ADD_FAILURE() << "write into " << file << " succeeded";
    } catch (const tWriteError& e) {
        EXPECT_STREQ(e.what(), ("nach " + file + " kann nicht geschrieben werden").c_str());
        EXPECT_EQ(e.Path(), file);
    }
    EXPECT_EQ(Slurp(file), before);
    EXPECT_EQ(Entries(dir), entriesBefore);
}

TEST_F(SettingsFile, ReadOnlyFileRefusesTheWrite) {
    Spit(file_, "[S]\nK=1\n");
    ASSERT_EQ(::chmod(file_.c_str(), 0444), 0);
    ExpectRefusedWrite(file_, dir_);
}

TEST_F(SettingsFile, ReadOnlyDirectoryRefusesTheWrite) {
    const std::string dir = dir_.path().toStdString();
    Spit(file_, "[S]\nK=1\n");
    // The file itself is the user's to write; only its folder is not.
    if (RunsAsRoot()) {
        ASSERT_EQ(::chown(file_.c_str(), kNobody, kNobody), 0);
    }
    ASSERT_EQ(::chmod(dir.c_str(), 0555), 0);
    const QStringList entriesBefore = Entries(dir_);
    enum { kRefused, kWritten, kOtherMessage };
    const std::optional<tUserReply> outcome = AsOrdinaryUser([this] {
        try {
            WriteProfileInt("S", "K", 2, file_);
            return tUserReply{kWritten, 0};
        } catch (const tWriteError& e) {
            const bool named =
                e.what() == "nach " + file_ + " kann nicht geschrieben werden" && e.Path() == file_;
            return tUserReply{named ? kRefused : kOtherMessage, 0};
        }
    });
    ::chmod(dir.c_str(), 0755);
    ASSERT_TRUE(outcome);
    EXPECT_EQ((*outcome)[0], kRefused);
    EXPECT_EQ(Slurp(file_), "[S]\nK=1\n");
    EXPECT_EQ(Entries(dir_), entriesBefore);
}

TEST_F(SettingsFile, MissingDirectoryRefusesTheWrite) {
    ExpectRefusedWrite(dir_.filePath("gone/vessrin.ini").toStdString(), dir_);
}

TEST_F(SettingsFile, ADirectoryInPlaceOfTheFileRefusesTheWriteAndReadsDefaults) {
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(file_)));
    EXPECT_EQ(ReadProfileInt("S", "K", 9, file_), 9);
    EXPECT_THROW(WriteProfileInt("S", "K", 2, file_), tWriteError);
    EXPECT_THROW(EraseProfileSection("S", file_), tWriteError);
}

} // namespace
