// Opens a file, folder or address with the program the desktop associates with it.
#pragma once

#include <QUrl>
#include <functional>

class QString;

// Hands a file path, a folder or an address ("https://…", "mailto:…") to the
// desktop (xdg-open behind QDesktopServices). Plain paths are opened as local
// files. Returns false when the text is empty or the desktop refuses it.
bool ShellOpen(const QString& fileOrAddress);

// The address ShellOpen hands over: a text with a scheme as written (blanks
// and "%20" kept), an existing path as a local file; an invalid address for an
// empty text or a path that does not exist.
QUrl DesktopUrlFor(const QString& fileOrAddress);

// Tests catch the calls instead of launching a browser: while a hook is set,
// ShellOpen returns what the hook returns and opens nothing. An empty hook
// restores the real desktop call.
using tShellOpenHook = std::function<bool(const QString& fileOrAddress)>;
void SetShellOpenHook(tShellOpenHook hook);
