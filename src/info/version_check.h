// The check for a newer release on the maker's web site, run from the program window's web link.
#pragma once

#include <QString>

#include <string>

class QWidget;

// The web site's root address: settings section "Internet", key "Site",
// always ending in "/". The program window shows it as its web link.
QString SiteAddress();

// Fetches the download page of the site and compares the release date in the
// row of fileName with year, month and day. Returns true when the page held
// a usable date; newer tells whether it differs. fileName comes back as the
// download link (empty when the page had none).
bool CheckRelease(std::string& fileName, int year, int month, int day, bool& newer);

// The click on the web link: checks under the wait cursor, tells the outcome
// in a message box with the caption of authorForm, then opens the download
// (when wanted and it is a web address) or the site in the browser.
void InternetValClick(QWidget* authorForm);
