// The shortcut window and its folder list: proposing the games folder, making and removing
// shortcuts.
#include "info/link_form.h"

#include "core/ini_text.h"
#include "platform/language.h"
#include "platform/placement.h"
#include "platform/settings_file.h"
#include "platform/shell_folders.h"
#include "platform/shell_link.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>

namespace {

const char* const kSection = "LinkForm";
const char* const kStartMenuKey = "StartMenu";
const char* const kUnanswered = "*";

std::string Utf8(const QString& text) {
    return text.toStdString();
}
QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// Two spellings of one folder (a link, "..") hold one shortcut file.
bool SameFolder(const std::string& a, const std::string& b) {
    const QString ca = QFileInfo(Text(a)).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(Text(b)).canonicalFilePath();
}

// The icon the shortcut shows: the program's own picture copied into the
// user's icon theme, else the name the installed package provides.
std::string LinkIcon() {
    QFile svg(QStringLiteral(":/icons/vessrin.svg"));
    if (!svg.open(QIODevice::ReadOnly))
        return "vessrin";
    const QByteArray bytes = svg.readAll();
    const std::string path = InstallLinkIcon(std::string(bytes.constData(), bytes.size()));
    return path.empty() ? "vessrin" : path;
}

} // namespace

tDirectoryListBox::tDirectoryListBox(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(10);
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item, int) { OpenItem(item); });
}

bool tDirectoryListBox::SetDirectory(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir())
        return false;
    directory_ = QDir::cleanPath(info.absoluteFilePath());
    // Listing a folder and looking up the folder icons is slow enough to
    // delay the program's start, so a hidden list waits until it is shown.
    listed_ = false;
    if (isVisible())
        Update();
    return true;
}

void tDirectoryListBox::showEvent(QShowEvent* event) {
    QTreeWidget::showEvent(event);
    if (!listed_ && !directory_.isEmpty())
        Update();
}

void tDirectoryListBox::Update() {
    listed_ = true;
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    // The chain from the root down to the current folder, each entry one
    // step further in.
    QTreeWidgetItem* parent = new QTreeWidgetItem(this, QStringList(QStringLiteral("/")));
    parent->setIcon(0, open);
    parent->setData(0, Qt::UserRole, QStringLiteral("/"));
    QString path;
    for (const QString& part : directory_.split('/', Qt::SkipEmptyParts)) {
        path += '/' + part;
        auto* item = new QTreeWidgetItem(parent, QStringList(part));
        item->setIcon(0, open);
        item->setData(0, Qt::UserRole, path);
        parent = item;
    }
    QTreeWidgetItem* current = parent;
    const QFileInfoList subfolders =
        QDir(directory_)
            .entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                           QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& sub : subfolders) {
        auto* item = new QTreeWidgetItem(current, QStringList(sub.fileName()));
        item->setIcon(0, closed);
        item->setData(0, Qt::UserRole, sub.absoluteFilePath());
    }
    expandAll();
    setCurrentItem(current);
    scrollToItem(current);
}

void tDirectoryListBox::OpenItem(QTreeWidgetItem* item) {
    if (item != nullptr)
        SetDirectory(item->data(0, Qt::UserRole).toString());
}

TLinkForm::TLinkForm(QWidget* parent) : tStayOnTopDialog(parent) {
    // The icon lives in a static library, whose resources are not
    // registered by themselves.
    Q_INIT_RESOURCE(resources);
    setObjectName(QStringLiteral("LinkForm"));
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    setFixedSize(245, 290);
    setWindowTitle(QStringLiteral("Verknüpfungen erstellen"));

    GroupBox = new QGroupBox(this);
    GroupBox->setObjectName(QStringLiteral("GroupBox"));
    GroupBox->setGeometry(4, 4, 237, 257);

    CheckBoxStartmenue =
        new QCheckBox(QStringLiteral("im ausgewählten Ordner des &Startmenüs"), GroupBox);
    CheckBoxStartmenue->setObjectName(QStringLiteral("CheckBoxStartmenue"));
    CheckBoxStartmenue->move(8, 13);

    DirectoryListBox = new tDirectoryListBox(GroupBox);
    DirectoryListBox->setObjectName(QStringLiteral("DirectoryListBox"));
    DirectoryListBox->setGeometry(8, 32, 221, 193);

    BtnNeu = new QPushButton(QStringLiteral("&Neuer Ordner"), GroupBox);
    BtnNeu->setObjectName(QStringLiteral("BtnNeu"));
    BtnNeu->setGeometry(8, 228, 85, 21);
    BtnNeu->setEnabled(false);
    BtnNeu->setAutoDefault(false);
    connect(BtnNeu, &QPushButton::clicked, this, &TLinkForm::BtnNeuClick);

    EditOrdner = new QLineEdit(GroupBox);
    EditOrdner->setObjectName(QStringLiteral("EditOrdner"));
    EditOrdner->setGeometry(100, 228, 129, 21);
    connect(EditOrdner, &QLineEdit::textChanged, this, &TLinkForm::EditOrdnerChange);

    CheckBoxDesktop = new QCheckBox(QStringLiteral("auf dem &Desktop"), this);
    CheckBoxDesktop->setObjectName(QStringLiteral("CheckBoxDesktop"));
    CheckBoxDesktop->move(4, 265);

    BtnOk = new QPushButton(QStringLiteral("&Ok"), this);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnOk->setGeometry(164, 264, 75, 21);
    BtnOk->setDefault(true);
    connect(BtnOk, &QPushButton::clicked, this, &TLinkForm::BtnOkClick);

    setTabOrder(CheckBoxStartmenue, DirectoryListBox);
    setTabOrder(DirectoryListBox, BtnNeu);
    setTabOrder(BtnNeu, EditOrdner);
    setTabOrder(EditOrdner, CheckBoxDesktop);
    setTabOrder(CheckBoxDesktop, BtnOk);

    FormCreate();
}

void TLinkForm::FormCreate() {
    if (!IsGerman()) {
        setWindowTitle(QStringLiteral("Create shortcuts"));
        CheckBoxStartmenue->setText(QStringLiteral("in the selected folder of the &start menu"));
        BtnNeu->setText(QStringLiteral("&New folder"));
        CheckBoxDesktop->setText(QStringLiteral("on the &desktop"));
    }
    CheckBoxStartmenue->adjustSize();
    CheckBoxDesktop->adjustSize();
    FitWidth();
    const std::string start = StartDirectory().empty() ? HomeFolder() : StartDirectory();
    DirectoryListBox->SetDirectory(Text(start));
    firstStart_ = ReadProfileString(kSection, kStartMenuKey, kUnanswered) == kUnanswered;
    RestorePlacement(this, kSection);
}

void TLinkForm::FitWidth() {
    // The desktop's font can be wider than the one the layout was drawn
    // for: the dialog grows so the start-menu text is not cut.
    const int extra =
        std::max(0, CheckBoxStartmenue->x() + CheckBoxStartmenue->width() + 8 - GroupBox->width());
    if (extra == 0)
        return;
    setFixedSize(width() + extra, height());
    GroupBox->resize(GroupBox->width() + extra, GroupBox->height());
    DirectoryListBox->resize(DirectoryListBox->width() + extra, DirectoryListBox->height());
    EditOrdner->resize(EditOrdner->width() + extra, EditOrdner->height());
    BtnOk->move(BtnOk->x() + extra, BtnOk->y());
}

void TLinkForm::ShowAtFirstStart() {
    if (firstStart_)
        exec();
}

void TLinkForm::showEvent(QShowEvent* event) {
    tStayOnTopDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TLinkForm::FormShow() {
    CheckBoxStartmenue->setChecked(true);
    CheckBoxDesktop->setChecked(false);

    // The games folder inside the accessories folder, on German and
    // English systems alike; every step that finds no such folder is skipped.
    if (const auto programs = ProgramsFolder()) {
        QDir folder(Text(*programs));
        for (const char* step : {"Zubehör", "Accessories", "Spiele", "Games"})
            if (folder.exists(QString::fromUtf8(step)) &&
                QFileInfo(folder.filePath(QString::fromUtf8(step))).isDir())
                folder.setPath(folder.filePath(QString::fromUtf8(step)));
        DirectoryListBox->SetDirectory(folder.path());
    }
    desktopExisted_ = false;
    if (const auto desktop = DesktopFolder())
        desktopExisted_ = FileExists(JoinPath(*desktop, LinkFileNameIn(*desktop)));
    CheckBoxDesktop->setChecked(desktopExisted_);

    // A folder that Windows-1252 cannot spell is stored encoded (a home
    // folder "Łukasz"), so it can still be found and its shortcut removed.
    storedFolder_ = IniDecodeText(ReadProfileString(kSection, kStartMenuKey, kUnanswered));
    if (storedFolder_ == kUnanswered) {
        storedFolder_.clear();
    } else if (storedFolder_.empty()) {
        CheckBoxStartmenue->setChecked(false);
    } else if (DirectoryListBox->SetDirectory(Text(storedFolder_))) {
        // Compared in the list's spelling, so "/a/b/" for "/a/b" is no move
        // that would delete the shortcut it has just replaced.
        storedFolder_ = Utf8(DirectoryListBox->Directory());
    } else {
        CheckBoxStartmenue->setChecked(false);
        storedFolder_.clear();
    }
}

void TLinkForm::EditOrdnerChange() {
    BtnNeu->setEnabled(!EditOrdner->text().isEmpty());
}

void TLinkForm::BtnNeuClick() {
    const std::string name = Utf8(EditOrdner->text());
    const std::string path = JoinPath(Utf8(DirectoryListBox->Directory()), name);
    // A name is one folder: no separators, no steps up or in place.
    const bool plainName = name.find('/') == std::string::npos && name != "." && name != "..";
    if (plainName && ::mkdir(path.c_str(), 0755) == 0) {
        DirectoryListBox->Update();
        return;
    }
    ShowMessageBox(Tr("kann ", "cannot create ") + Text(path) + Tr(" nicht anlegen", ""),
                   windowTitle(), kMbIconStop);
}

bool TLinkForm::CreateLinkIn(const std::string& folder) {
    const std::string error =
        CreateShellLink(Utf8(QCoreApplication::applicationFilePath()), LinkTitle(),
                        StartDirectory(), JoinPath(folder, LinkFileNameIn(folder)), LinkIcon());
    if (error.empty())
        return true;
    ShowMessageBox(Text(error), windowTitle(), kMbIconStop);
    return false;
}

void TLinkForm::BtnOkClick() {
    const std::string chosen =
        CheckBoxStartmenue->isChecked() ? Utf8(DirectoryListBox->Directory()) : std::string();
    // The new shortcut comes first: when it cannot be made, the old one and
    // the stored choice stay as they are and the dialog stays open for
    // another choice.
    if (chosen != storedFolder_ && !chosen.empty() && !CreateLinkIn(chosen))
        return;
    try {
        WriteProfileString(kSection, kStartMenuKey, IniEncodeText(chosen));
    } catch (const tWriteError& error) {
        ReportWriteError(error, windowTitle());
        return;
    }
    firstStart_ = false;
    if (chosen != storedFolder_ && !storedFolder_.empty() && !SameFolder(chosen, storedFolder_))
        std::remove(JoinPath(storedFolder_, LinkFileNameIn(storedFolder_)).c_str());
    storedFolder_ = chosen;

    const bool wanted = CheckBoxDesktop->isChecked();
    if (wanted != desktopExisted_) {
        if (const auto desktop = DesktopFolder()) {
            if (wanted) {
                if (!CreateLinkIn(*desktop))
                    return;
            } else {
                std::remove(JoinPath(*desktop, LinkFileNameIn(*desktop)).c_str());
            }
            desktopExisted_ = wanted;
        }
    }
    accept();
}

void TLinkForm::done(int result) {
    SavePlacement(this, kSection);
    tStayOnTopDialog::done(result);
}
