// Desktop opening of files and addresses, with a hook for tests.
#include "platform/shell_open.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QUrl>

#include <utility>

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

QUrl DesktopUrlFor(const QString& fileOrAddress) {
    const QString text = fileOrAddress.trimmed();
    if (text.isEmpty())
        return {};
    // Tolerant mode keeps blanks and "%20" as they are written.
    if (HasScheme(text))
        return QUrl(text, QUrl::TolerantMode);
    const QFileInfo info(QDir::fromNativeSeparators(text));
    if (!info.exists())
        return {};
    return QUrl::fromLocalFile(info.absoluteFilePath());
}

bool ShellOpen(const QString& fileOrAddress) {
    if (gShellOpenHook)
        return gShellOpenHook(fileOrAddress);
    const QUrl url = DesktopUrlFor(fileOrAddress);
    return url.isValid() && QDesktopServices::openUrl(url);
}

void SetShellOpenHook(tShellOpenHook hook) {
    gShellOpenHook = std::move(hook);
}
