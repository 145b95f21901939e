// Language selection at start-up and the message box shared by all windows.
#pragma once

#include <cstdint>
#include <string>

class QString;
class QWidget;

// Locale id (Windows numbering) of a POSIX locale name such as "de_AT.UTF-8";
// 0 for "C", "POSIX" or an empty name.
std::uint32_t LocaleIdFromPosix(const std::string& name);

// Start-up step: records the start directory, derives the locale id from
// LC_ALL, LC_MESSAGES or LANG, sets IsGerman and the number formats, and forms
// the settings file name.
void SelectLanguage(const std::string& executablePath);
// Tests choose the language directly.
void SetLanguage(std::uint32_t localeId);

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
