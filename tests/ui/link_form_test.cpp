// Widget tests of the shortcut window over a temporary home: proposal, Ok rules, new folders,
// looks.
#include "info/link_form.h"

#include "platform/language.h"
#include "platform/settings_file.h"
#include "shot_path.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace {

class LinkFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
            const char* v = std::getenv(name);
            saved_[name] = {v != nullptr ? v : "", v != nullptr};
        }
        ::setenv("HOME", Path("").toUtf8().constData(), 1);
        ::unsetenv("XDG_DATA_HOME");
        ::unsetenv("XDG_CONFIG_HOME");
        SetSettingsFileName(Path("vessrin.ini").toStdString());
        SetLanguage(0x0407);
        SetMessageBoxHook([this](const QString& text, const QString& caption, int flags) {
            messages_ << QStringLiteral("%1|%2|%3").arg(text, caption).arg(flags);
            return kIdOk;
        });
    }
    void TearDown() override {
        SetMessageBoxHook({});
        for (const auto& [name, value] : saved_) {
            if (value.second)
                ::setenv(name.c_str(), value.first.c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }
    QString Path(const QString& relative) const {
        return relative.isEmpty() ? home_.path() : home_.filePath(relative);
    }
    QString Menu(const QString& relative = QString()) const {
        const QString apps = Path(".local/share/applications");
        return relative.isEmpty() ? apps : apps + '/' + relative;
    }
    static void MakeDir(const QString& path) { ASSERT_TRUE(QDir().mkpath(path)); }
    static bool Exists(const QString& path) { return QFileInfo::exists(path); }
    static QString StartMenu() {
        return QString::fromStdString(ReadProfileString("LinkForm", "StartMenu", "*"));
    }
    template <class T> static T* Find(TLinkForm& form, const char* name) {
        T* w = form.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static tDirectoryListBox* List(TLinkForm& form) {
        return Find<tDirectoryListBox>(form, "DirectoryListBox");
    }
    static void Ok(TLinkForm& form) {
        QTest::mouseClick(Find<QPushButton>(form, "BtnOk"), Qt::LeftButton);
    }

    QTemporaryDir home_;
    std::map<std::string, std::pair<std::string, bool>> saved_;
    QStringList messages_;
};

TEST_F(LinkFormTest, FirstStartProposesTheGamesFolderAndOkMakesTheEntry) {
    MakeDir(Menu(QStringLiteral("Zubehör/Spiele")));
    MakeDir(Menu(QStringLiteral("Spiele"))); // only reached through the accessories folder
    MakeDir(Path("Desktop"));
    QFile(Path("Desktop/Vessrin.desktop")).open(QIODevice::WriteOnly);
    TLinkForm form;
    EXPECT_TRUE(form.FirstStart());
    form.show();
    EXPECT_TRUE(Find<QCheckBox>(form, "CheckBoxStartmenue")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>(form, "CheckBoxDesktop")->isChecked());
    EXPECT_EQ(List(form)->Directory(), Menu(QStringLiteral("Zubehör/Spiele")));
    Ok(form);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.FirstStart());
    EXPECT_TRUE(Exists(Menu(QStringLiteral("Zubehör/Spiele/Vessrin.desktop"))));
    EXPECT_EQ(StartMenu(), Menu(QStringLiteral("Zubehör/Spiele")));
    EXPECT_TRUE(Exists(Path("Desktop/Vessrin.desktop"))) << "unchanged desktop choice";
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join('\n').toStdString();
    TLinkForm next;
    EXPECT_FALSE(next.FirstStart());
}

TEST_F(LinkFormTest, OkFollowsTheChangesOfTheChoiceOnly) {
    MakeDir(Menu(QStringLiteral("A")));
    MakeDir(Menu(QStringLiteral("B")));
    TLinkForm form;
    auto* startMenu = Find<QCheckBox>(form, "CheckBoxStartmenue");

    form.show();
    ASSERT_TRUE(List(form)->SetDirectory(Menu(QStringLiteral("A"))));
    Ok(form);
    ASSERT_TRUE(Exists(Menu(QStringLiteral("A/Vessrin.desktop"))));

    // Deleted behind the program's back: an unchanged choice does not make it again.
    QFile::remove(Menu(QStringLiteral("A/Vessrin.desktop")));
    form.show();
    EXPECT_EQ(List(form)->Directory(), Menu(QStringLiteral("A")));
    Ok(form);
    EXPECT_FALSE(Exists(Menu(QStringLiteral("A/Vessrin.desktop"))));

    // Moving: the new one is made, the old one removed.
    QFile(Menu(QStringLiteral("A/Vessrin.desktop"))).open(QIODevice::WriteOnly);
    form.show();
    ASSERT_TRUE(List(form)->SetDirectory(Menu(QStringLiteral("B"))));
    Ok(form);
    EXPECT_TRUE(Exists(Menu(QStringLiteral("B/Vessrin.desktop"))));
    EXPECT_FALSE(Exists(Menu(QStringLiteral("A/Vessrin.desktop"))));
    EXPECT_EQ(StartMenu(), Menu(QStringLiteral("B")));

    // Unchecking removes it and stores the empty choice.
    form.show();
    startMenu->setChecked(false);
    Ok(form);
    EXPECT_FALSE(Exists(Menu(QStringLiteral("B/Vessrin.desktop"))));
    EXPECT_EQ(StartMenu(), QString());
    form.show();
    EXPECT_FALSE(startMenu->isChecked());
    form.reject();

    // A stored folder that is gone leaves the box unchecked.
    WriteProfileString("LinkForm", "StartMenu", Menu(QStringLiteral("gone")).toStdString());
    form.show();
    EXPECT_FALSE(startMenu->isChecked());
    Ok(form);
    EXPECT_EQ(StartMenu(), QString());
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join('\n').toStdString();
}

// The settings file holds Windows-1252, which has no "Ł": the folder must
// still come back whole, or its shortcut could never be removed again.
TEST_F(LinkFormTest, AFolderOutsideTheCodePageIsFoundAgainAndItsShortcutRemoved) {
    const QString lukasz = Path(QStringLiteral("\u0141ukasz"));
    ::setenv("HOME", lukasz.toUtf8().constData(), 1);
    const QString games = lukasz + QStringLiteral("/.local/share/applications/Spiele");
    MakeDir(games);
    TLinkForm form;
    auto* startMenu = Find<QCheckBox>(form, "CheckBoxStartmenue");
    form.show();
    ASSERT_TRUE(List(form)->SetDirectory(games));
    Ok(form);
    ASSERT_TRUE(Exists(games + QStringLiteral("/Vessrin.desktop")));
    // "Ł" is U+0141, in UTF-8 the bytes C5 81; the rest stays readable.
    EXPECT_EQ(ReadProfileString("LinkForm", "StartMenu", "*"),
              "utf8:" + home_.path().toStdString() +
                  "/%C5%81ukasz/.local/share/applications/Spiele");

    form.show();
    EXPECT_TRUE(startMenu->isChecked());
    EXPECT_EQ(List(form)->Directory(), games);
    startMenu->setChecked(false);
    Ok(form);
    EXPECT_FALSE(Exists(games + QStringLiteral("/Vessrin.desktop")));
    EXPECT_EQ(StartMenu(), QString());
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join('\n').toStdString();
}

TEST_F(LinkFormTest, AFailedNewShortcutKeepsTheOldOneAndTheDialogOpen) {
    MakeDir(Menu(QStringLiteral("A")));
    MakeDir(Menu(QStringLiteral("B/Vessrin.desktop"))); // a folder in the shortcut's place
    TLinkForm form;
    form.show();
    ASSERT_TRUE(List(form)->SetDirectory(Menu(QStringLiteral("A"))));
    Ok(form);
    form.show();
    ASSERT_TRUE(List(form)->SetDirectory(Menu(QStringLiteral("B"))));
    Ok(form);
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].endsWith(QStringLiteral("|Verknüpfungen erstellen|16")))
        << messages_[0].toStdString();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(Exists(Menu(QStringLiteral("A/Vessrin.desktop"))));
    EXPECT_EQ(StartMenu(), Menu(QStringLiteral("A")));
    form.reject();
    EXPECT_EQ(StartMenu(), Menu(QStringLiteral("A"))) << "the close box changes nothing";
}

TEST_F(LinkFormTest, TheDesktopBoxMakesAndRemovesTheDesktopShortcut) {
    MakeDir(Path("Desktop"));
    TLinkForm form;
    auto* desktop = Find<QCheckBox>(form, "CheckBoxDesktop");
    form.show();
    EXPECT_FALSE(desktop->isChecked());
    Find<QCheckBox>(form, "CheckBoxStartmenue")->setChecked(false);
    desktop->setChecked(true);
    Ok(form);
    EXPECT_TRUE(Exists(Path("Desktop/Vessrin.desktop")));
    EXPECT_EQ(StartMenu(), QString());
    form.show();
    EXPECT_TRUE(desktop->isChecked());
    desktop->setChecked(false);
    Ok(form);
    EXPECT_FALSE(Exists(Path("Desktop/Vessrin.desktop")));
}

TEST_F(LinkFormTest, OnlyShortcutsOfTheCurrentLanguageAreRemoved) {
    MakeDir(Menu(QStringLiteral("A")));
    QFile(Menu(QStringLiteral("A/Vessrin.desktop"))).open(QIODevice::WriteOnly);
    WriteProfileString("LinkForm", "StartMenu", Menu(QStringLiteral("A")).toStdString());
    SetLanguage(0x0409);
    TLinkForm form;
    form.show();
    Find<QCheckBox>(form, "CheckBoxStartmenue")->setChecked(false);
    Ok(form);
    EXPECT_TRUE(Exists(Menu(QStringLiteral("A/Vessrin.desktop"))));
    form.show();
    ASSERT_TRUE(List(form)->SetDirectory(Menu(QStringLiteral("A"))));
    Find<QCheckBox>(form, "CheckBoxStartmenue")->setChecked(true);
    Ok(form);
    EXPECT_TRUE(Exists(Menu(QStringLiteral("A/Orvanel.desktop"))));
}

TEST_F(LinkFormTest, NewFolderNeedsANameThatCanBecomeAFolder) {
    MakeDir(Menu(QStringLiteral("Spiele")));
    TLinkForm form;
    form.show();
    ASSERT_TRUE(List(form)->SetDirectory(Menu()));
    auto* button = Find<QPushButton>(form, "BtnNeu");
    auto* edit = Find<QLineEdit>(form, "EditOrdner");
    EXPECT_FALSE(button->isEnabled());
    QTest::keyClicks(edit, QStringLiteral("Brettspiele"));
    EXPECT_TRUE(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(QFileInfo(Menu(QStringLiteral("Brettspiele"))).isDir());
    EXPECT_EQ(List(form)->findItems(QStringLiteral("Brettspiele"), Qt::MatchRecursive).size(), 1);
    EXPECT_TRUE(form.isVisible());

    for (const QString& name : {QStringLiteral("Spiele"), QStringLiteral("x/y"),
                                QStringLiteral(".."), QStringLiteral("Brettspiele")}) {
        messages_.clear();
        edit->setText(name);
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_EQ(messages_.size(), 1) << name.toStdString();
        EXPECT_EQ(messages_[0],
                  QStringLiteral("kann %1/%2 nicht anlegen|Verknüpfungen erstellen|16")
                      .arg(Menu(), name));
    }
    edit->clear();
    EXPECT_FALSE(button->isEnabled());
}

TEST_F(LinkFormTest, FolderListShowsThePathAndOpensFoldersUpAndDown) {
    MakeDir(Path("a/b/c"));
    MakeDir(Path("a/b/d"));
    TLinkForm form;
    form.show();
    tDirectoryListBox* list = List(form);
    ASSERT_TRUE(list->SetDirectory(Path("a/b")));
    QStringList shown;
    for (QTreeWidgetItemIterator it(list); *it; ++it)
        shown << (*it)->text(0);
    const QStringList chain = Path("a/b").split('/', Qt::SkipEmptyParts);
    const QStringList expected = QStringList{"/"} + chain + QStringList{"c", "d"};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(list->currentItem()->text(0), QStringLiteral("b"));

    emit list->itemActivated(list->findItems("d", Qt::MatchRecursive).value(0), 0);
    EXPECT_EQ(list->Directory(), Path("a/b/d"));
    emit list->itemActivated(list->findItems("a", Qt::MatchRecursive).value(0), 0);
    EXPECT_EQ(list->Directory(), Path("a"));
    EXPECT_FALSE(list->SetDirectory(Path("nothing")));
    EXPECT_EQ(list->Directory(), Path("a"));
}

TEST_F(LinkFormTest, TextsOfBothLanguagesFit) {
    for (const auto& [id, path] : {std::pair{0x0407u, ShotPath("linkform_de.png")},
                                   std::pair{0x0409u, ShotPath("linkform_en.png")}}) {
        SetLanguage(id);
        MakeDir(Menu(QStringLiteral("Accessories/Games")));
        TLinkForm form;
        form.show();
        EXPECT_EQ(form.height(), 290);
        EXPECT_GE(form.width(), 245);
        EXPECT_EQ(form.windowTitle(), id == 0x0407u ? QStringLiteral("Verknüpfungen erstellen")
                                                    : QStringLiteral("Create shortcuts"));
        auto* startMenu = Find<QCheckBox>(form, "CheckBoxStartmenue");
        auto* frame = Find<QWidget>(form, "GroupBox");
        EXPECT_LE(startMenu->x() + startMenu->width(), frame->width()) << path;
        EXPECT_LE(frame->x() + frame->width(), form.width()) << path;
        auto* ok = Find<QPushButton>(form, "BtnOk");
        EXPECT_LE(ok->x() + ok->width(), form.width()) << path;
        EXPECT_LE(startMenu->y() + startMenu->height(), List(form)->y()) << path;
        auto* desktop = Find<QCheckBox>(form, "CheckBoxDesktop");
        EXPECT_LE(desktop->x() + desktop->width(), Find<QPushButton>(form, "BtnOk")->x()) << path;
        auto* button = Find<QPushButton>(form, "BtnNeu");
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text().remove('&')) + 8,
                  button->width())
            << path;
        EXPECT_TRUE(form.grab().save(QString::fromLatin1(path)));
    }
}

} // namespace
