// Finding the menu entry and desktop folders by the XDG rules.
#include "platform/shell_folders.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string AbsoluteEnvOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] == '/')
        return value;
    return fallback;
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// mkdir -p; the XDG rules want new base folders private to the user.
bool MakeFolders(const std::string& path) {
    if (IsDirectory(path))
        return true;
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    return IsDirectory(path);
}

} // namespace

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return WithoutTrailingSlashes(home);
    if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr)
        return WithoutTrailingSlashes(pw->pw_dir);
    return "/";
}

std::string DataHomeFolder() {
    return WithoutTrailingSlashes(AbsoluteEnvOr("XDG_DATA_HOME", HomeFolder() + "/.local/share"));
}

std::string ConfigHomeFolder() {
    return WithoutTrailingSlashes(AbsoluteEnvOr("XDG_CONFIG_HOME", HomeFolder() + "/.config"));
}

std::optional<std::string> ProgramsFolder() {
    const std::string folder = DataHomeFolder() + "/applications";
    if (!MakeFolders(folder))
        return std::nullopt;
    return folder;
}

std::optional<std::string> DesktopDirFromUserDirs(const std::string& fileText,
                                                  const std::string& home) {
    std::istringstream lines(fileText);
    std::string line;
    std::optional<std::string> found;
    while (std::getline(lines, line)) {
        std::size_t i = line.find_first_not_of(" \t");
        const std::string key = "XDG_DESKTOP_DIR=";
        if (i == std::string::npos || line.compare(i, key.size(), key) != 0)
            continue;
        i += key.size();
        // The file holds shell assignments of the form "$HOME/path" or "/path".
        if (i >= line.size() || line[i] != '"')
            continue;
        std::string value;
        bool closed = false;
        for (++i; i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size()) {
                value += line[++i];
            } else if (line[i] == '"') {
                closed = true;
                break;
            } else {
                value += line[i];
            }
        }
        if (!closed)
            continue;
        if (value.compare(0, 5, "$HOME") == 0 && (value.size() == 5 || value[5] == '/'))
            value = home + value.substr(5);
        else if (value.empty() || value[0] != '/')
            continue;
        found = WithoutTrailingSlashes(value); // the last assignment wins, as in the shell
    }
    return found;
}

std::optional<std::string> DesktopFolder() {
    const std::string home = HomeFolder();
    std::ifstream in(ConfigHomeFolder() + "/user-dirs.dirs");
    std::ostringstream text;
    text << in.rdbuf();
    const std::string folder = DesktopDirFromUserDirs(text.str(), home).value_or(home + "/Desktop");
    if (folder == home || !IsDirectory(folder))
        return std::nullopt;
    return folder;
}
