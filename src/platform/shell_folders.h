// The desktop's folders for program menu entries and for the desktop itself.
#pragma once

#include <optional>
#include <string>

// The user's home folder: $HOME, else the password database.
std::string HomeFolder();
// $XDG_DATA_HOME, or ~/.local/share when it is unset or not absolute.
std::string DataHomeFolder();
// $XDG_CONFIG_HOME, or ~/.config likewise.
std::string ConfigHomeFolder();

// "Programs": $XDG_DATA_HOME/applications. A fresh account often lacks it,
// and it is the one place the menu reads user entries from, so it is
// created when missing; nothing when it cannot be.
std::optional<std::string> ProgramsFolder();

// "Desktop": XDG_DESKTOP_DIR of user-dirs.dirs, else ~/Desktop; nothing when
// that folder does not exist or is the home folder itself (which marks the
// desktop as switched off).
std::optional<std::string> DesktopFolder();

// The value of XDG_DESKTOP_DIR in the text of a user-dirs.dirs file, with
// $HOME expanded and shell escapes undone; nothing when the key is missing
// or malformed.
std::optional<std::string> DesktopDirFromUserDirs(const std::string& fileText,
                                                  const std::string& home);
