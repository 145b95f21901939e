// Widget tests of the port dialog: which entries it takes, the owner check, its messages and files.
#include "net/port_form.h"

#include "platform/language.h"
#include "platform/services_db.h"
#include "platform/settings_file.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

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

ino_t InodeOf(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_ino;
}

const std::string kSystemText = "domain\t\t53/udp\n"
                                "afs\t\t7000/tcp\n";

class PortFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        SetSettingsFileName(tmp_.filePath("vessrin.ini").toStdString());
        user_ = tmp_.filePath("user").toStdString();
        system_ = tmp_.filePath("etc").toStdString();
        ASSERT_EQ(mkdir(system_.c_str(), 0755), 0);
        Spit(system_ + "/services", kSystemText);
        SetServiceDirectoriesForTests(tServiceDirectories{user_, system_});
        SetLanguage(0x0407);
        SetMessageBoxHook([this](const QString& text, const QString& caption, int flags) {
            boxes_.push_back(text);
            captions_.push_back(caption);
            flags_.push_back(flags);
            return kIdOk;
        });
    }
    void TearDown() override {
        SetMessageBoxHook({});
        SetServiceDirectoriesForTests(std::nullopt);
    }

    // Shows the dialog, types the entry and presses Ok.
    void Enter(TPortForm& form, const QString& text) {
        form.show();
        QLineEdit* port = form.findChild<QLineEdit*>(QStringLiteral("Port"));
        port->clear();
        QTest::keyClicks(port, text);
        QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("BtnOk")), Qt::LeftButton);
    }
    std::string UserFile() const { return user_ + "/services"; }

    QTemporaryDir tmp_;
    std::string user_;
    std::string system_;
    std::vector<QString> boxes_;
    std::vector<QString> captions_;
    std::vector<int> flags_;
};

TEST_F(PortFormTest, EntriesAcceptedRefusedAndWritten) {
    struct tCase {
        const char* entry;
        const char* message; // nullptr: no message
        bool open;           // the dialog stays open
        const char* userFile;
    };
    const tCase cases[] = {
        {" 5000", nullptr, false, "Vessrin\t 5000/udp\n"},
        {"$1388", nullptr, false, "Vessrin\t 5000/udp\n"},
        {"0x50", nullptr, false, "Vessrin\t   80/udp\n"},
        {"65535", nullptr, false, "Vessrin\t65535/udp\n"},
        {"7000", nullptr, false, "Vessrin\t 7000/udp\n"}, // its owner uses tcp only
        {"", nullptr, false, "Vessrin\t    0/udp\t# no port: network play off\n"},
        {"0", "ungültige Portnummer", true, nullptr},
        {"65536", "ungültige Portnummer", true, nullptr},
        {"-5", "ungültige Portnummer", true, nullptr},
        {"12a", "ungültige Portnummer", true, nullptr},
        {"5000 ", "ungültige Portnummer", true, nullptr},
        {"53", "Port bereits vergeben", true, nullptr},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.entry);
        ::unlink(UserFile().c_str());
        Spit(system_ + "/services", kSystemText);
        boxes_.clear();
        TPortForm form;
        Enter(form, QString::fromUtf8(c.entry));
        if (c.message) {
            ASSERT_EQ(boxes_.size(), 1u);
            EXPECT_EQ(boxes_[0], QString::fromUtf8(c.message));
            EXPECT_EQ(captions_.back(), QStringLiteral("Vessrin socket port"));
            EXPECT_EQ(flags_.back(), kMbIconStop);
        } else {
            EXPECT_TRUE(boxes_.empty()) << boxes_.front().toStdString();
        }
        EXPECT_EQ(form.isVisible(), c.open);
        if (!c.open) {
            EXPECT_EQ(form.result(), QDialog::Accepted);
        }
        if (c.userFile)
            EXPECT_EQ(Slurp(UserFile()), c.userFile);
        else
            EXPECT_EQ(Slurp(UserFile()), "") << "a refused entry writes nothing";
        // Root also updates the system file; "no port" is only written down
        // where it overrides the system file.
        const bool entered = c.userFile && c.entry[0] != '\0';
        EXPECT_EQ(Slurp(system_ + "/services"), entered ? kSystemText + c.userFile : kSystemText);
    }
}

TEST_F(PortFormTest, PortAlreadyConfiguredLeavesTheFileUntouched) {
    ASSERT_TRUE(EnsureUserServicesFile());
    Spit(UserFile(), "Vessrin\t 4000/udp\r\n# mine\r\n");
    const ino_t before = InodeOf(UserFile());
    TPortForm form;
    Enter(form, QStringLiteral("4000"));
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(InodeOf(UserFile()), before) << "the file was replaced";
    EXPECT_EQ(Slurp(UserFile()), "Vessrin\t 4000/udp\r\n# mine\r\n");
}

// A system entry of the game's port that the per-user file overrides is
// stale: entering its port must write it, not close as if it were set.
TEST_F(PortFormTest, StaleSystemEntryIsNotTakenForTheCurrentPort) {
    Spit(system_ + "/services", kSystemText + "Vessrin\t 4000/udp\n");
    ASSERT_TRUE(EnsureUserServicesFile());
    Spit(UserFile(), "Vessrin\t    0/udp\n");
    ASSERT_EQ(ServicePortByName("Vessrin", "udp"), 0);
    TPortForm form;
    Enter(form, QStringLiteral("4000"));
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(Slurp(UserFile()), "Vessrin\t 4000/udp\n");
    EXPECT_EQ(ServicePortByName("Vessrin", "udp"), 4000);
}

// The per-user file decides; when it cannot be rewritten the dialog says so
// even though the system file was.
TEST_F(PortFormTest, UnwritableDecidingFileIsReportedNotHidden) {
    ASSERT_TRUE(EnsureUserServicesFile());
    Spit(UserFile(), "Vessrin\t 5000/udp\n");
    ASSERT_EQ(mkdir((UserFile() + ".new").c_str(), 0755), 0);
    Spit(UserFile() + ".new/x", "");
    TPortForm form;
    Enter(form, QString());
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0], geteuid() == 0
                             ? QStringLiteral("Kann Services Datei nicht beschreiben")
                             : QStringLiteral("Kann temporäre Services Datei nicht erzeugen"));
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(ServicePortByName("Vessrin", "udp"), 5000);
}

TEST_F(PortFormTest, FailedWriteShowsItsMessageAndCancels) {
    SetServiceDirectoriesForTests(tServiceDirectories{"", ""});
    SetLanguage(0x0409);
    TPortForm form;
    Enter(form, QStringLiteral("5000"));
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0], QStringLiteral("invalid path len on writing to the services file"));
    EXPECT_EQ(captions_[0], QStringLiteral("Orvanel socket port"));
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Rejected);
}

TEST_F(PortFormTest, PrepareFillsPortAndAddressesAndFitsTheHeight) {
    SetLanguage(0x0409);
    TPortForm form;
    tIpList own;
    own.Add(AddressFromOctets(198, 51, 100, 7));
    form.Prepare(5000, own);
    auto* prompt = form.findChild<QLabel*>(QStringLiteral("MyIpPrompt"));
    auto* list = form.findChild<QLabel*>(QStringLiteral("MyIpList"));
    EXPECT_EQ(form.findChild<QLineEdit*>(QStringLiteral("Port"))->text(), "5000");
    EXPECT_EQ(prompt->text(), "My IP");
    EXPECT_EQ(list->text(), "198.51.100.7");
    const int oneLine = form.height();

    own.Add(AddressFromOctets(10, 0, 0, 1));
    form.Prepare(0, own);
    EXPECT_EQ(form.findChild<QLineEdit*>(QStringLiteral("Port"))->text(), "");
    EXPECT_EQ(prompt->text(), "My IPs");
    EXPECT_EQ(list->text(), "198.51.100.7\n10.0.0.1");
    EXPECT_EQ(form.height(), list->geometry().bottom() + 1 + 5);
    EXPECT_GT(form.height(), oneLine);
    // Every text fits its control.
    for (const QLabel* label : form.findChildren<QLabel*>())
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->objectName().toStdString();
}

TEST_F(PortFormTest, ClosingSavesOnlyThePosition) {
    TPortForm form;
    form.show();
    form.move(123, 77);
    form.reject();
    EXPECT_EQ(ReadProfileInt("PortForm", "Left", -1), form.x());
    EXPECT_EQ(ReadProfileInt("PortForm", "Top", -1), form.y());
    EXPECT_EQ(ReadProfileString("PortForm", "Width", "none"), "none");
}

} // namespace
