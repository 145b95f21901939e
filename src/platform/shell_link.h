// Shortcut files: desktop entries that start the program.
#pragma once

#include <string>

// "Vessrin" in German, "Orvanel" otherwise.
std::string LinkTitle();
// LinkTitle() + ".desktop", the file name of a shortcut.
std::string LinkFileName();

// One argument of an Exec line, quoted when the desktop entry rules require
// it ("%" doubled, reserved characters inside double quotes with ", `, $
// and \ escaped), then escaped once more as a string value.
std::string ExecArgument(const std::string& argument);

// The text of a desktop entry that starts target in workingDirectory.
// Empty when a value holds control characters, which an entry cannot carry.
std::string DesktopEntryText(const std::string& target, const std::string& description,
                             const std::string& workingDirectory, const std::string& icon);

// Creates or replaces the shortcut file linkPath (written whole, then renamed
// over the old one; mode 0755) and asks the desktop to trust it. Returns the
// system's error text on failure, "" on success. icon is an icon name or an
// absolute picture path.
std::string CreateShellLink(const std::string& target, const std::string& description,
                            const std::string& workingDirectory, const std::string& linkPath,
                            const std::string& icon = "vessrin");

// Puts the program's icon into the user's icon theme folder
// ($XDG_DATA_HOME/icons/hicolor/scalable/apps/vessrin.svg) and returns its
// path, or "" when it cannot be written.
std::string InstallLinkIcon(const std::string& svgBytes);
