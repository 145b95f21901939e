// Shortcut files: desktop entries that start the program.
#pragma once

#include <string>

// "Vessrin" in German, "Orvanel" otherwise.
std::string LinkTitle();
// The file name of the shortcut in folder. In the applications folder
// itself it is the installed menu entry's name, "vessrin.desktop", so that
// the shortcut takes that entry's place in the menu instead of appearing
// beside it; elsewhere LinkTitle() + ".desktop".
std::string LinkFileNameIn(const std::string& folder);
// What a shortcut's tooltip says: a short description of the game in the
// chosen language.
std::string LinkComment();

// One argument of an Exec line, quoted when the desktop entry rules require
// it ("%" doubled, reserved characters inside double quotes with ", `, $
// and \ escaped), then escaped once more as a string value.
std::string ExecArgument(const std::string& argument);

// The text of a desktop entry called name that starts target in
// workingDirectory. Empty when a value holds control characters, which an
// entry cannot carry.
std::string DesktopEntryText(const std::string& target, const std::string& name,
                             const std::string& comment, const std::string& workingDirectory,
                             const std::string& icon);

// Creates or replaces the shortcut file linkPath (written whole, then renamed
// over the old one; mode 0755) and asks the desktop to trust it. Returns the
// system's error text on failure, "" on success. The description is what the
// desktop shows as the entry's name; the tooltip is LinkComment(), as an
// entry whose comment repeats its name is not valid. icon is an icon name or
// an absolute picture path.
std::string CreateShellLink(const std::string& target, const std::string& description,
                            const std::string& workingDirectory, const std::string& linkPath,
                            const std::string& icon = "vessrin");

// Puts the program's icon into the user's icon theme folder
// ($XDG_DATA_HOME/icons/hicolor/scalable/apps/vessrin.svg) and returns its
// path, or "" when it cannot be written.
std::string InstallLinkIcon(const std::string& svgBytes);
