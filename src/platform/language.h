// Language selection at start-up and the message box shared by all windows.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class QString;
class QWidget;
class tWriteError;

// Locale id (Windows numbering) of a POSIX locale name such as "de_AT.UTF-8";
// 0 for "C", "POSIX" or an empty name.
std::uint32_t LocaleIdFromPosix(const std::string& name);

// Start-up step: records the start directory, derives the locale id from
// LC_ALL, LC_MESSAGES or LANG, sets IsGerman and the number formats, and forms
// the settings file name.
void SelectLanguage(const std::string& executablePath);
// Tests choose the language directly.
void SetLanguage(std::uint32_t localeId);

// Makes Qt's own texts (standard dialogs, buttons, context menus) speak the
// chosen language: in German loads the toolkit's German catalogue from Qt's
// translations folder, otherwise removes it again. Needs the application
// object. False when German was chosen but the catalogue is not installed;
// Qt's texts then stay English.
bool LoadToolkitTranslations();

std::uint32_t LocaleId();
bool IsGerman();
// Picks the text of the chosen language.
QString Tr(const char* german, const char* english);

// Message box flags as the system uses them: 0 information (Ok), 4 question
// (Yes/No, returns 6 for Yes, 7 for No), 16 error (stop icon, Ok). Returns the
// id of the pressed button (1 Ok).
constexpr int kMbOk = 0;
constexpr int kMbYesNo = 4;
constexpr int kMbIconStop = 16;
constexpr int kIdOk = 1;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;
int ShowMessageBox(const QString& text, const QString& caption, int flags);

// Widget tests answer message boxes without a modal loop: while a hook is
// set, ShowMessageBox returns what the hook returns and shows nothing. An
// empty hook restores the real boxes.
using tMessageBoxHook = std::function<int(const QString& text, const QString& caption, int flags)>;
void SetMessageBoxHook(tMessageBoxHook hook);

// The default error display for a refused settings write: its text with the
// stop icon.
void ReportWriteError(const tWriteError& error, const QString& caption);
