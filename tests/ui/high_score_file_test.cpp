// Loading and writing the high-score section of the settings file.
#include "platform/settings_file.h"
#include "table/high_score_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class HighScoreFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        file_ = dir_.filePath(QStringLiteral("vessrin.ini")).toStdString();
        SetSettingsFileName(file_);
    }
    void WriteIni(const char* text) {
        QFile f(QString::fromStdString(file_));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QTemporaryDir dir_;
    std::string file_;
};

TEST_F(HighScoreFileTest, ImpossibleScoresAreDropped) {
    WriteIni("[HighScore]\nPlayer1=Zero\nPoints1=0\nPlayer2=Big\nPoints2=308\n"
             "Player3=Text\nPoints3=many\nPlayer4=Max\nPoints4=65535\nPlayer5=Ok\nPoints5=307\n");
    const tHighScore list = LoadHighScores();
    EXPECT_EQ(list[0], (tHighScoreEntry{"Ok", 307}));
    for (std::size_t i = 1; i < 5; ++i)
        EXPECT_EQ(list[i], tHighScoreEntry{}) << i;
}

TEST_F(HighScoreFileTest, PointsAreTakenAsSixteenBitValues) {
    WriteIni("[HighScore]\nPlayer1=Wrap\nPoints1=65636\nPlayer2=Neg\nPoints2=-1\n"
             "Player3=Hex\nPoints3=0x64\n");
    const tHighScore list = LoadHighScores();
    EXPECT_EQ(list[0], (tHighScoreEntry{"Wrap", 100}));
    EXPECT_EQ(list[1], (tHighScoreEntry{"Hex", 100}));
    EXPECT_EQ(list[2], tHighScoreEntry{});
}

TEST_F(HighScoreFileTest, RepeatedNamesCollapseKeepingTheBest) {
    WriteIni("[HighScore]\nPlayer1=Anna\nPoints1=150\nPlayer2=Bo\nPoints2=140\n"
             "Player3=Anna\nPoints3=120\nPlayer4=Bo\nPoints4=200\nPlayer5=anna\nPoints5=90\n");
    const tHighScore list = LoadHighScores();
    EXPECT_EQ(list[0], (tHighScoreEntry{"Bo", 200}));
    EXPECT_EQ(list[1], (tHighScoreEntry{"Anna", 150}));
    EXPECT_EQ(list[2], (tHighScoreEntry{"anna", 90}));
    EXPECT_EQ(list[3], tHighScoreEntry{});
}

TEST_F(HighScoreFileTest, EmptySlotInTheMiddleDoesNotEndLoading) {
    WriteIni("[HighScore]\nPlayer1=Anna\nPoints1=150\nPlayer2=\nPoints2=0\n"
             "Player3=Bo\nPoints3=160\n");
    const tHighScore list = LoadHighScores();
    EXPECT_EQ(list[0], (tHighScoreEntry{"Bo", 160}));
    EXPECT_EQ(list[1], (tHighScoreEntry{"Anna", 150}));
    EXPECT_EQ(list[2], tHighScoreEntry{});
}

TEST_F(HighScoreFileTest, FullListRoundTripsAndEmptySlotsAreWritten) {
    tHighScore list{};
    AddHighScore(list, "Anna", 250);
    AddHighScore(list, "Bö", 200);
    AddHighScore(list, "PC", 200);
    WriteHighScores(list);
    EXPECT_EQ(ReadProfileString("HighScore", "Player4", "<none>"), "");
    EXPECT_EQ(ReadProfileString("HighScore", "Points5", "<none>"), "0");
    EXPECT_EQ(LoadHighScores(), list);

    AddHighScore(list, "Carl", 180);
    AddHighScore(list, "Dora", 307);
    WriteHighScores(list);
    EXPECT_EQ(LoadHighScores(), list);
}

TEST_F(HighScoreFileTest, RefusedWriteThrows) {
    WriteIni("[HighScore]\n");
    ASSERT_EQ(::chmod(file_.c_str(), 0444), 0);
    tHighScore list{};
    AddHighScore(list, "Anna", 250);
    EXPECT_THROW(WriteHighScores(list), tWriteError);
    ::chmod(file_.c_str(), 0644);
}

} // namespace
