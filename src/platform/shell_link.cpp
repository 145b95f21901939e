// Writing desktop entries as the program's shortcuts, and installing its icon for them.
#include "platform/shell_link.h"

#include "platform/language.h"
#include "platform/shell_folders.h"

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

bool HasControlCharacters(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F')
            return true;
    return false;
}

// The escapes of a desktop entry string value.
std::string StringValue(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\')
            out += "\\\\";
        else if (text[i] == ' ' && i == 0)
            out += "\\s"; // a leading blank would be taken for space around "="
        else
            out += text[i];
    }
    return out;
}

std::string ErrorText(int error, const std::string& path) {
    return std::string(std::strerror(error)) + ": " + path;
}

bool WriteAll(int fd, const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes beside the final name and renames over it, so a shortcut is never
// left half-written. Returns 0 or the errno of the failed step.
int ReplaceFile(const std::string& path, const std::string& bytes, mode_t mode) {
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string pattern = (slash == std::string::npos ? "" : dir) + "." + base + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return errno;
    int error = 0;
    if (!WriteAll(fd, bytes) || ::fchmod(fd, mode) != 0 || ::fsync(fd) != 0)
        error = errno != 0 ? errno : EIO;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(name.data(), path.c_str()) != 0)
        error = errno;
    if (error != 0)
        ::unlink(name.data());
    return error;
}

// GNOME starts desktop launchers only when they are marked trusted; other
// desktops ignore the mark. Only meaningful inside a desktop session.
void MarkTrusted(const std::string& path) {
    const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (bus == nullptr || bus[0] == '\0')
        return;
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (gio.isEmpty())
        return;
    QProcess::startDetached(gio, {QStringLiteral("set"), QString::fromStdString(path),
                                  QStringLiteral("metadata::trusted"), QStringLiteral("true")});
}

bool MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

} // namespace

std::string LinkTitle() {
    return IsGerman() ? "Vessrin" : "Orvanel";
}

std::string LinkFileNameIn(const std::string& folder) {
    // The menu knows an entry by its path below the applications folder, so
    // only a file right in that folder can stand in for the installed one.
    if (const auto programs = ProgramsFolder()) {
        char* here = ::realpath(folder.c_str(), nullptr);
        char* menu = ::realpath(programs->c_str(), nullptr);
        const bool same = here != nullptr && menu != nullptr && std::strcmp(here, menu) == 0;
        std::free(here);
        std::free(menu);
        if (same)
            return "vessrin.desktop";
    }
    return LinkTitle() + ".desktop";
}

std::string LinkComment() {
    return IsGerman() ? "Sechseckige Steine so legen, dass Reihen gleicher Streifen punkten"
                      : "Lay hexagon tiles so that lines of equal stripes score";
}

std::string ExecArgument(const std::string& argument) {
    static const char kReserved[] = " \t\n\"'\\><~|&;$*?#()`";
    std::string percent;
    for (char c : argument) {
        percent += c;
        if (c == '%')
            percent += '%';
    }
    std::string arg = percent;
    if (argument.empty() || argument.find_first_of(kReserved) != std::string::npos) {
        arg = "\"";
        for (char c : percent) {
            if (c == '"' || c == '`' || c == '$' || c == '\\')
                arg += '\\';
            arg += c;
        }
        arg += '"';
    }
    return StringValue(arg);
}

std::string DesktopEntryText(const std::string& target, const std::string& name,
                             const std::string& comment, const std::string& workingDirectory,
                             const std::string& icon) {
    for (const std::string* value : {&target, &name, &comment, &workingDirectory, &icon})
        if (HasControlCharacters(*value))
            return std::string();
    std::string text = "[Desktop Entry]\n";
    text += "Type=Application\n";
    text += "Name=" + StringValue(name) + "\n";
    if (!comment.empty() && comment != name)
        text += "Comment=" + StringValue(comment) + "\n";
    text += "Exec=" + ExecArgument(target) + "\n";
    if (!workingDirectory.empty())
        text += "Path=" + StringValue(workingDirectory) + "\n";
    if (!icon.empty())
        text += "Icon=" + StringValue(icon) + "\n";
    text += "Terminal=false\n";
    text += "Categories=Game;BoardGame;\n";
    return text;
}

std::string CreateShellLink(const std::string& target, const std::string& description,
                            const std::string& workingDirectory, const std::string& linkPath,
                            const std::string& icon) {
    const std::string text =
        DesktopEntryText(target, description, LinkComment(), workingDirectory, icon);
    if (text.empty())
        return ErrorText(EINVAL, target);
    if (const int error = ReplaceFile(linkPath, text, 0755); error != 0)
        return ErrorText(error, linkPath);
    MarkTrusted(linkPath);
    return std::string();
}

std::string InstallLinkIcon(const std::string& svgBytes) {
    if (svgBytes.empty())
        return std::string();
    const std::string folder = DataHomeFolder() + "/icons/hicolor/scalable/apps";
    const std::string path = folder + "/vessrin.svg";
    if (!MakeFolders(folder) || ReplaceFile(path, svgBytes, 0644) != 0)
        return std::string();
    return path;
}
