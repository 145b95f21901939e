// Service lookups in the per-user and system services files, and their atomic rewrite.
#include "platform/services_db.h"

#include "core/services_file.h"
#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string_view>
#include <vector>

namespace {

std::optional<tServiceDirectories>& Override() {
    static std::optional<tServiceDirectories> dirs;
    return dirs;
}

std::string UserFolder() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/')
        return std::string(xdg) + "/vessrin";
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0')
        return std::string(home) + "/.config/vessrin";
    return {};
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return text.str();
}

// The texts of the per-user and the system file, in lookup order; a file
// that is missing or unreadable has nothing to say.
std::vector<std::string> LookupTexts() {
    const tServiceDirectories dirs = ServiceDirectories();
    std::vector<std::string> texts;
    for (const std::string& dir : {dirs.WindowsDirectory, dirs.SystemDirectory})
        if (IsUsableDirectory(dir))
            texts.push_back(ReadWholeFile(dir + "/services").value_or(std::string()));
    return texts;
}

bool MakeDirectories(const std::string& path) {
    for (std::size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos != path.size() && path[pos] != '/')
            continue;
        const std::string part = path.substr(0, pos);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A services file that is a symbolic link is rewritten at its target, so the
// link stays a link.
std::string ResolvedPath(const std::string& path) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) != nullptr)
        return resolved;
    return path;
}

} // namespace

tServiceDirectories ServiceDirectories() {
    if (Override())
        return *Override();
    return {UserFolder(), "/etc"};
}

void SetServiceDirectoriesForTests(std::optional<tServiceDirectories> dirs) {
    Override() = std::move(dirs);
}

std::string UserServicesFile() {
    const std::string dir = ServiceDirectories().WindowsDirectory;
    return dir.empty() ? std::string() : dir + "/services";
}

bool EnsureUserServicesFile() {
    const std::string dir = ServiceDirectories().WindowsDirectory;
    if (!IsUsableDirectory(dir) || !MakeDirectories(dir))
        return false;
    const std::string file = dir + "/services";
    // O_EXCL: an existing file is left untouched.
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0)
        return ::close(fd) == 0;
    return errno == EEXIST;
}

std::optional<std::uint16_t> ServicePortByName(const std::string& name,
                                               const std::string& protocol) {
    const std::vector<std::string> texts = LookupTexts();
    const std::optional<tServiceEntry> entry = LookupServiceByName(
        std::vector<std::string_view>(texts.begin(), texts.end()), name, protocol);
    if (!entry)
        return std::nullopt;
    return static_cast<std::uint16_t>(entry->port);
}

std::optional<std::string> ServiceNameByPort(std::uint16_t port, const std::string& protocol) {
    const std::vector<std::string> texts = LookupTexts();
    const std::optional<tServiceEntry> entry = LookupServiceByPort(
        std::vector<std::string_view>(texts.begin(), texts.end()), port, protocol);
    if (!entry)
        return std::nullopt;
    return entry->name;
}

std::uint8_t RewriteServicesFile(const std::string& path, const std::string& service,
                                 std::uint16_t port, const std::string& protocol,
                                 const std::string& comment, bool markNoPort) {
    const std::string target = ResolvedPath(path);
    tFd in(::open(target.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0)
        return scCannotOpen;
    struct stat original {};
    if (fstat(in.Get(), &original) != 0 || !S_ISREG(original.st_mode))
        return scCannotOpen;

    const std::string temporary = target + ".new";
    // A stale temporary file (or a link planted there) is removed, then the
    // new one is created exclusively, so nothing but our file is written.
    if (::unlink(temporary.c_str()) != 0 && errno != ENOENT)
        return scCannotCreateTemporary;
    tFd out(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (out.Get() < 0)
        return scCannotCreateTemporary;

    // From here every failure closes both files and removes the temporary
    // one; the original is only ever replaced by the final rename.
    const auto abandon = [&](std::uint8_t code) {
        ::unlink(temporary.c_str());
        return code;
    };
    std::string content;
    if (!ReadAll(in.Get(), content))
        return abandon(scCannotOpen);
    in.Close();
    const std::string rewritten =
        RewriteServicesText(content, service, port, protocol, comment, markNoPort);
    if (!WriteAll(out.Get(), rewritten))
        return abandon(scCannotCreateTemporary);
    if (fchmod(out.Get(), original.st_mode & 07777) != 0)
        return abandon(scCannotCreateTemporary);
    // Root keeps the owner of /etc/services; a user cannot give a file away
    // and need not.
    if (fchown(out.Get(), original.st_uid, original.st_gid) != 0 && errno != EPERM)
        return abandon(scCannotCreateTemporary);
    if (fsync(out.Get()) != 0 || !out.Close())
        return abandon(scCannotCreateTemporary);
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return abandon(scCannotRename);
    return scOk;
}

std::uint8_t SetServicePort(const std::string& service, const std::string& protocol,
                            std::uint16_t port, const std::string& comment) {
    // Without it a user without root rights would have no file to write to.
    EnsureUserServicesFile();
    const tServiceDirectories dirs = ServiceDirectories();
    const std::array<std::string, kServiceLocationCount> locations =
        ServiceFileLocations(dirs.WindowsDirectory, dirs.SystemDirectory);
    std::array<std::optional<std::uint8_t>, kServiceLocationCount> codes;
    // The even locations lie in the per-user folder, whose entry overrides
    // the system's: there "no port" is written down rather than left out.
    for (std::size_t i = 0; i < locations.size(); ++i)
        if (!locations[i].empty())
            codes[i] =
                RewriteServicesFile(locations[i], service, port, protocol, comment, i % 2 == 0);
    const std::uint8_t code = CombineLocationCodes(codes);
    // Root may rewrite /etc/services while the per-user file that decides
    // stays unwritable: success is only what a lookup now finds.
    if (code == scOk && ServicePortByName(service, protocol).value_or(0) != port)
        return scCannotDelete;
    return code;
}
