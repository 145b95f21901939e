// The version check: page download, scan, the three messages and the browser.
#include "info/version_check.h"

#include "core/release_date.h"
#include "core/version_page.h"
#include "platform/http_get.h"
#include "platform/language.h"
#include "platform/settings_file.h"
#include "platform/shell_open.h"

#include <QApplication>
#include <QCursor>
#include <QWidget>

namespace {

constexpr const char* kDefaultSite = "http://www.example.org/";
constexpr const char* kVersionPage = "downl1de.htm";

// The wait cursor for a scope, restored on every way out.
class tWaitCursor {
public:
    tWaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~tWaitCursor() { QApplication::restoreOverrideCursor(); }
    tWaitCursor(const tWaitCursor&) = delete;
    tWaitCursor& operator=(const tWaitCursor&) = delete;
};

std::string SiteAddressText() {
    std::string site = ReadProfileString("Internet", "Site", kDefaultSite);
    while (!site.empty() && (site.back() == ' ' || site.back() == '\t'))
        site.pop_back();
    if (site.empty())
        site = kDefaultSite;
    if (site.back() != '/')
        site += '/';
    return site;
}

} // namespace

QString SiteAddress() {
    return QString::fromStdString(SiteAddressText());
}

bool CheckRelease(std::string& fileName, int year, int month, int day, bool& newer) {
    newer = false;
    const std::string site = SiteAddressText();
    const std::string page = GetHtml(site + kVersionPage).value_or(std::string());
    const tReleaseCheck check = ScanVersionPage(page, fileName, site, year, month, day);
    newer = check.Newer;
    fileName = check.Link;
    return check.Usable;
}

void InternetValClick(QWidget* authorForm) {
    const QString caption = authorForm != nullptr ? authorForm->windowTitle() : QString();
    std::string link = ExeBaseName() + ".exe";
    bool newer = false;
    bool usable = false;
    {
        // Only the download waits; the answer boxes get the normal cursor.
        tWaitCursor wait;
        usable = CheckRelease(link, ReleaseYear, ReleaseMonth, ReleaseDay, newer);
    }
    QString open = SiteAddress();
    if (!usable) {
        ShowMessageBox(Tr("Konnte die Version dieses Programmes nicht prüfen!",
                          "Could not check the release of this program!"),
                       caption, kMbOk);
    } else if (newer) {
        const int answer = ShowMessageBox(
            Tr("Es gibt eine neue Version dieses Programmes! Möchten Sie diese jetzt laden?",
               "There is a new release of this program! Would you like to download it now?"),
            caption, kMbYesNo);
        // A page must not make the desktop open a local file or a program.
        if (answer == kIdYes && IsWebAddress(link))
            open = QString::fromStdString(link);
    } else {
        ShowMessageBox(Tr("Dieses Programm ist auf dem neuesten Stand.",
                          "This program is the latest release."),
                       caption, kMbOk);
    }
    ShellOpen(open);
}
