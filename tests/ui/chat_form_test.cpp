// Widget tests of the messages window: sending, received texts and their repeats, layout and
// placement.
#include "net/chat_form.h"

#include "core/datagram.h"
#include "frame/board_host.h"
#include "platform/language.h"
#include "platform/settings_file.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class tRecordingHost : public tBoardHost {
public:
    tGameTable& Table() override { return TableOfBoards; }
    void Apply(tTableEffects) override {}
    const tIpList* OwnAddressList() const override { return &Own; }
    void SendDatagram(const tDatagram& datagram, tAddress to) override {
        Sent.push_back({datagram, to});
    }
    void ShowDemo(bool show) override { Demo.push_back(show); }
    QWidget* OpenMessagesFor(tAddress) override { return nullptr; }

    struct tSent {
        tDatagram Datagram;
        tAddress To;
    };
    tGameTable TableOfBoards;
    tIpList Own;
    tIpList Peers;
    std::vector<tSent> Sent;
    std::vector<bool> Demo;
};

const tAddress kA = AddressFromOctets(198, 51, 100, 1);
const tAddress kB = AddressFromOctets(198, 51, 100, 2);
const tAddress kC = AddressFromOctets(198, 51, 100, 3);

class ChatFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        SetSettingsFileName(tmp_.filePath("vessrin.ini").toStdString());
        SetLanguage(0x0407);
        area_.resize(900, 700);
        area_.show();
    }

    TChatForm* Open() {
        auto* form = new TChatForm(&host_, nullptr);
        area_.addSubWindow(form);
        form->show();
        return form;
    }
    template <typename T> static T* Find(TChatForm* form, const char* name) {
        return form->findChild<T*>(QString::fromLatin1(name));
    }
    static QStringList Log(TChatForm* form) {
        return Find<QPlainTextEdit>(form, "Memo")->toPlainText().split('\n', Qt::SkipEmptyParts);
    }
    static void Choose(TChatForm* form, const QString& dotted) {
        auto* combo = Find<QComboBox>(form, "ComboBox");
        combo->setCurrentIndex(combo->findText(dotted));
    }

    QTemporaryDir tmp_;
    QMdiArea area_;
    tRecordingHost host_;
};

TEST_F(ChatFormTest, SendNeedsAnAddresseeAndAText) {
    TChatForm* form = Open();
    auto* send = Find<QPushButton>(form, "BtnSenden");
    auto* edit = Find<QLineEdit>(form, "Edit");
    EXPECT_FALSE(send->isEnabled());
    form->AddAddress("198.51.100.2");
    EXPECT_EQ(Find<QComboBox>(form, "ComboBox")->currentIndex(), -1)
        << "adding chooses no addressee";
    QTest::keyClicks(edit, "hallo");
    EXPECT_FALSE(send->isEnabled());
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(host_.Sent.empty());
    Choose(form, "198.51.100.2");
    EXPECT_TRUE(send->isEnabled());
    edit->clear();
    EXPECT_FALSE(send->isEnabled());
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(host_.Sent.empty());
    EXPECT_TRUE(Log(form).isEmpty());
}

TEST_F(ChatFormTest, ReturnSendsTheTextFromTheNearestOwnAddress) {
    host_.Own.Add(AddressFromOctets(10, 0, 0, 6));
    host_.Own.Add(AddressFromOctets(198, 51, 100, 3));
    TChatForm* form = Open();
    form->AddAddress("198.51.100.2");
    Choose(form, "198.51.100.2");
    auto* edit = Find<QLineEdit>(form, "Edit");
    edit->insert(QString::fromUtf8("Grüße €"));
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_EQ(host_.Sent.size(), 1u);
    const tDatagram& d = host_.Sent[0].Datagram;
    EXPECT_EQ(host_.Sent[0].To, kB);
    EXPECT_EQ(d.Kind, nmText);
    EXPECT_EQ(d.SenderAddress, AddressFromOctets(198, 51, 100, 3));
    EXPECT_EQ(d.OriginKey, d.SenderAddress);
    EXPECT_EQ(d.Text, "Gr\xfc\xdf"
                      "e \x80");
    EXPECT_EQ(Log(form), QStringList{QString::fromUtf8("An 198.51.100.2: Grüße €")});
    EXPECT_EQ(edit->text(), QString::fromUtf8("Grüße €")) << "the text stays for another send";
}

TEST_F(ChatFormTest, LongestTextIsSentWholeAndNoLonger) {
    TChatForm* form = Open();
    form->SelectAddress("198.51.100.2");
    auto* edit = Find<QLineEdit>(form, "Edit");
    QTest::keyClicks(edit, QString(60, QLatin1Char('x')));
    EXPECT_EQ(edit->text().size(), 59);
    QTest::mouseClick(Find<QPushButton>(form, "BtnSenden"), Qt::LeftButton);
    ASSERT_EQ(host_.Sent.size(), 1u);
    const tDatagramBytes bytes = host_.Sent[0].Datagram.Encode();
    const std::optional<tDatagram> back = tDatagram::Decode(bytes.data(), bytes.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Text, std::string(59, 'x'));
}

TEST_F(ChatFormTest, RepeatsOverAnotherPcAreDroppedEvenAfterClearing) {
    TChatForm* form = Open();
    struct tCase {
        tAddress ip;
        tAddress key;
        const char* text;
        bool shown;
    };
    const tCase cases[] = {
        {kA, kA, "hi", true},  {kB, kA, "hi", false}, // the same message relayed by B
        {kA, kA, "hi", true},                         // sent again by its writer
        {kB, kA, "Hi", true},                         // texts compare with case
        {kC, kA, "Hi", false}, {kC, kC, "Hi", true},  // another origin
        {kB, kA, "Hi", true}, // newest of A came from B already: same sender
    };
    int lines = 0;
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.text);
        form->ReceiveMessage(c.ip, c.key, QString::fromLatin1(c.text));
        if (c.shown)
            ++lines;
        ASSERT_EQ(Log(form).size(), lines);
        if (c.shown) {
            EXPECT_EQ(Log(form).last(),
                      "Von " + QString::fromStdString(DottedAddress(c.ip)) + ": " + c.text);
        }
        // Clearing the log keeps the history: the next repeat is still known.
        if (c.key == kC) {
            QTest::mouseClick(Find<QPushButton>(form, "BtnClear"), Qt::LeftButton);
            lines = 0;
            form->ReceiveMessage(kC, kA, QStringLiteral("Hi"));
            ASSERT_EQ(Log(form).size(), 0);
        }
    }
    ASSERT_EQ(form->History().size(), 2u) << "one entry per origin";
    EXPECT_EQ(form->History()[1].Key, kA);
    EXPECT_EQ(form->History()[1].Ip, kB);
    EXPECT_TRUE(form->HistoryOk());
    // The senders join the addressee list, with none chosen.
    auto* combo = Find<QComboBox>(form, "ComboBox");
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentIndex(), -1);
}

TEST_F(ChatFormTest, ShownTextsStayOnOneLine) {
    SetLanguage(0x0409);
    TChatForm* form = Open();
    form->ShowText("198.51.100.1", "a\nFrom 198.51.100.9: fake\r");
    EXPECT_EQ(Log(form), QStringList{"From 198.51.100.1: a?From 198.51.100.9: fake?"});
}

TEST_F(ChatFormTest, WideAddressWidensTheListAndMovesTheEntry) {
    auto* form = new TChatForm(&host_, nullptr);
    area_.addSubWindow(form);
    auto* combo = Find<QComboBox>(form, "ComboBox");
    auto* edit = Find<QLineEdit>(form, "Edit");
    auto* send = Find<QPushButton>(form, "BtnSenden");
    form->AddAddress("1.2.3.4");
    const int before = combo->width();
    EXPECT_EQ(before, 25) << "nothing is widened before the first display";
    form->show();
    const QString wide = "198.151.200.255";
    EXPECT_GE(combo->width(), combo->fontMetrics().horizontalAdvance("1.2.3.4") + 25);
    const int shownWidth = combo->width();
    const int minimum = form->minimumWidth();
    form->AddAddress(wide);
    EXPECT_GT(combo->width(), shownWidth);
    EXPECT_GE(combo->width(), combo->fontMetrics().horizontalAdvance(wide) + 25);
    EXPECT_EQ(edit->x(), combo->x() + combo->width() + 4);
    EXPECT_EQ(send->x(), edit->x());
    EXPECT_GE(form->minimumWidth(), minimum);
    EXPECT_GE(form->minimumWidth(), send->x() + send->width() + 4);
    EXPECT_EQ(edit->geometry().right() + 1, edit->parentWidget()->width() - 4);
}

TEST_F(ChatFormTest, ClosingShowsTheDemoAndTheNextWindowOpensThere) {
    QPointer<TChatForm> form = Open();
    EXPECT_TRUE(form->Showing());
    form->move(40, 30);
    form->resize(320, 260);
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
    EXPECT_EQ(host_.Demo, std::vector<bool>{true});
    EXPECT_EQ(ReadProfileInt("ChatForm", "Left", -1), 40);
    EXPECT_EQ(ReadProfileInt("ChatForm", "Width", -1), 320);

    TChatForm* next = Open();
    EXPECT_EQ(next->pos(), QPoint(40, 30));
    EXPECT_EQ(next->size(), QSize(320, 260));
    EXPECT_TRUE(next->History().empty());
}

TEST_F(ChatFormTest, EnglishTexts) {
    SetLanguage(0x0409);
    TChatForm* form = Open();
    EXPECT_EQ(form->windowTitle(), "Messages");
    EXPECT_EQ(Find<QLabel>(form, "LblTo")->text(), "To");
    EXPECT_EQ(Find<QPushButton>(form, "BtnClear")->text(), "&Clear");
    EXPECT_EQ(Find<QPushButton>(form, "BtnSenden")->text(), "&Send");
    for (const QPushButton* b : form->findChildren<QPushButton*>())
        EXPECT_GE(b->width(), b->fontMetrics().horizontalAdvance(b->text().remove('&')))
            << b->objectName().toStdString();
}

} // namespace
