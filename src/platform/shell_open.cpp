// Desktop opening of files and addresses, with a hook for tests.
#include "platform/shell_open.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QUrl>

namespace {

tShellOpenHook gShellOpenHook;

// A text with a scheme ("mailto:", "https:") is an address; anything else is a
// path. A single letter before the colon would be a drive, never a scheme.
bool HasScheme(const QString& text) {
    const int colon = text.indexOf(QLatin1Char(':'));
    if (colon < 2)
        return false;
    for (int i = 0; i < colon; ++i) {
        const QChar c = text.at(i);
        const bool ok = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                        (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                        (i > 0 && (c.isDigit() || c == QLatin1Char('+') || c == QLatin1Char('-') ||
                                   c == QLatin1Char('.')));
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

bool ShellOpen(const QString& fileOrAddress) {
    if (gShellOpenHook)
        return gShellOpenHook(fileOrAddress);
    const QString text = fileOrAddress.trimmed();
    if (text.isEmpty())
        return false;
    QUrl url;
    if (HasScheme(text)) {
        // Tolerant mode keeps blanks and "%20" as they are written.
        url = QUrl(text, QUrl::TolerantMode);
    } else {
        const QFileInfo info(QDir::fromNativeSeparators(text));
        if (!info.exists())
            return false;
        url = QUrl::fromLocalFile(info.absoluteFilePath());
    }
    if (!url.isValid())
        return false;
    return QDesktopServices::openUrl(url);
}

void SetShellOpenHook(tShellOpenHook hook) {
    gShellOpenHook = std::move(hook);
}
